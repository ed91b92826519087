#include "FuzzTargets.h"

#include "platform/base/FileSystem.h"
#include "platform/base/Sandbox.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    platform::Sandbox::setRoot(platform::fs::makeTemporaryDirectory("vantrel-fuzz"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz::zip(data, size);
}
