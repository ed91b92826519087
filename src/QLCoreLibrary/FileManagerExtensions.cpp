#include "QLCoreLibrary/FileManagerExtensions.h"

#include <cstdio>
#include <fstream>

#include <openssl/evp.h>

#include "platform/base/Bundle.h"
#include "platform/base/FileSystem.h"
#include "platform/base/Sandbox.h"

std::string documentsDirectory() {
    return platform::Sandbox::documentsDirectory();
}

std::string libraryDirectory() {
    return platform::Sandbox::libraryDirectory();
}

std::string appPreferencesFile() {
    std::string name = platform::Bundle::mainBundle().identifier() + ".plist";
    return platform::fs::joinPath(platform::fs::joinPath(libraryDirectory(), "Preferences"), name);
}

std::string md5ForFileAtPath(const std::string& path) {
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    EVP_DigestInit_ex(context, EVP_md5(), nullptr);
    std::ifstream in(path, std::ios::binary);
    char block[8192];
    while (in) {
        in.read(block, sizeof block);
        std::streamsize n = in.gcount();
        if (n <= 0)
            break;
        EVP_DigestUpdate(context, block, static_cast<size_t>(n));
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(context, digest, &length);
    EVP_MD_CTX_free(context);
    std::string hex;
    char byte[3];
    for (unsigned int i = 0; i < length; ++i) {
        std::snprintf(byte, sizeof byte, "%02x", digest[i]);
        hex += byte;
    }
    return hex;
}
