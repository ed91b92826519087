#include "app/DataRecoveryNotice.h"

#include <memory>

#include "data/DB.h"
#include "platform/base/UserDefaults.h"
#include "platform/views/AlertView.h"

std::optional<std::string> DataRecoveryNotice::takeMessage() {
    const auto database = DB::takeDamagedDatabaseKeptAside();
    const auto settings = platform::UserDefaults::standardUserDefaults().damagedFileKeptAside();
    std::string message;
    if (database) {
        message = "Your Vantrel data could not be read because the database file is damaged, so Vantrel "
                  "started with an empty one. The damaged file was kept as \""
            + *database + "\". If you have a backup, you can restore it from the backup screen.";
    }
    if (settings) {
        if (!message.empty())
            message += "\n\n";
        message += "Your settings could not be read and were reset. The old settings file was kept as \""
            + *settings + "\".";
        platform::UserDefaults::standardUserDefaults().forgetDamagedFile();
    }
    if (message.empty())
        return std::nullopt;
    return message;
}

void DataRecoveryNotice::showIfNeeded() {
    if (auto message = takeMessage())
        std::make_shared<platform::views::AlertView>("Vantrel", *message, nullptr, "OK")->show();
}
