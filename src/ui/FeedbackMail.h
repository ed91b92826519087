#pragma once

#include <optional>
#include <string>

// The feedback and recommendation mails: handed to the device's mail handler as a mailto:
// address.
class FeedbackMail {
public:
    // With a mail handler on the device, the subject and the plain-text body (the message and
    // a footer naming the device and its system version) go to the handler; without one, an "Error"
    // alert explains that mail is not set up. Answers whether the mail was handed over.
    static bool present(
        const std::string& subject, const std::string& message, const std::optional<std::string>& recipient);
    // The mailto: address handed over.
    static std::string mailtoURL(
        const std::string& subject, const std::string& body, const std::optional<std::string>& recipient);
    static std::string mailBody(const std::string& message);
};
