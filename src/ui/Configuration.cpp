#include "ui/Configuration.h"

namespace {
std::string g_helpBaseURL;
}

std::string Configuration::helpBaseURL() {
    return g_helpBaseURL.empty() ? kDefaultHelpBaseURL : g_helpBaseURL;
}

void Configuration::setHelpBaseURL(const std::string& url) {
    g_helpBaseURL = url;
    if (!g_helpBaseURL.empty() && g_helpBaseURL.back() != '/')
        g_helpBaseURL += '/';
}
