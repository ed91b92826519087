#pragma once

#include <string>

namespace platform::views {

// Values as the phone numbers them (screens compare them with these numbers).
enum class KeyboardType {
    Default = 0,
    ASCIICapable = 1,
    NumbersAndPunctuation = 2,
    URL = 3,
    NumberPad = 4,
    PhonePad = 5,
    NamePhonePad = 6,
    EmailAddress = 7,
    DecimalPad = 8,
};

enum class ReturnKeyType {
    Default = 0,
    Go = 1,
    Join = 3,
    Next = 4,
    Route = 5,
    Search = 6,
    Send = 7,
    Done = 9,
    EmergencyCall = 10,
};

enum class AutocapitalizationType { None, Words, Sentences, AllCharacters };
enum class AutocorrectionType { Default, No, Yes };

// How an entry wants its keyboard.
struct TextInputTraits {
    KeyboardType keyboardType {KeyboardType::Default};
    ReturnKeyType returnKeyType {ReturnKeyType::Default};
    AutocapitalizationType autocapitalizationType {AutocapitalizationType::Sentences};
    AutocorrectionType autocorrectionType {AutocorrectionType::Default};
    bool secureTextEntry {false};
};

// A view that takes text from the keyboard while it is first responder. The keyboard (the
// on-screen keys and the keys the host forwards) types through these calls only, so every
// key press passes the entry's delegate rules.
class KeyInput {
public:
    virtual ~KeyInput() = default;
    virtual const TextInputTraits& textInputTraits() const = 0;
    virtual bool hasText() const = 0;
    // The entry's whole text (the keyboard reads it to decide on automatic capitals).
    virtual const std::string& text() const = 0;
    // Types `text` at the end of the entry; "\n" is the return key.
    virtual void insertText(const std::string& text) = 0;
    // Removes the last character.
    virtual void deleteBackward() = 0;
};

// The title the phone puts on the return key.
std::string returnKeyTitle(ReturnKeyType type);

} // namespace platform::views
