#include "ui/FeedbackMail.h"

#include "platform/base/Device.h"
#include "platform/views/AlertView.h"
#include "platform/views/Application.h"
#include "ui/DeviceHardware.h"

using namespace platform::views;

namespace {

std::string percentEncoded(const std::string& text) {
    static const char* hex = "0123456789ABCDEF";
    std::string encoded;
    for (unsigned char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.'
            || c == '_' || c == '~') {
            encoded += char(c);
        } else {
            encoded += '%';
            encoded += hex[c >> 4];
            encoded += hex[c & 0xF];
        }
    }
    return encoded;
}

} // namespace

// A mailto: body is plain text: the footer goes below a signature separator ("-- ") so that
// mail programs show it apart, as the small print under a rule would be.
std::string FeedbackMail::mailBody(const std::string& message) {
    const platform::Device& device = platform::Device::current();
    return message + "\n\n-- \nDevice: " + platformString() + " (iOS " + device.systemVersion() + ")";
}

std::string FeedbackMail::mailtoURL(
    const std::string& subject, const std::string& body, const std::optional<std::string>& recipient) {
    // Line breaks travel as CR LF in a mailto: address.
    std::string lines;
    for (size_t i = 0; i < body.size(); ++i) {
        if (body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n')
            continue;
        lines += body[i] == '\n' ? std::string("\r\n") : std::string(1, body[i]);
    }
    return "mailto:" + (recipient ? percentEncoded(*recipient) : std::string())
        + "?subject=" + percentEncoded(subject) + "&body=" + percentEncoded(lines);
}

bool FeedbackMail::present(
    const std::string& subject, const std::string& message, const std::optional<std::string>& recipient) {
    Application& application = Application::sharedApplication();
    ApplicationHost* host = application.host();
    if (!host || !host->canSendMail()) {
        auto alert = std::make_shared<AlertView>("Error",
            "Email cannot be sent because you have not configured an email account. Please use the Settings "
            "application to configure an email account then try again.",
            nullptr, "OK");
        alert->show();
        return false;
    }
    return application.openURL(mailtoURL(subject, mailBody(message), recipient));
}
