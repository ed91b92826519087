#pragma once

#include <string>

// Deployment settings of the maker's services that the application reaches.
class Configuration {
public:
    // Base address of the maker's web site, ending in "/". The help pages live under
    // "mobile/vantrel/help/" below it. By default the shell serves them itself.
    static std::string helpBaseURL();
    // The shell sets the address it serves on; an empty text returns to the default.
    static void setHelpBaseURL(const std::string& url);

    static constexpr const char* kDefaultHelpBaseURL = "http://127.0.0.1:8080/";
};
