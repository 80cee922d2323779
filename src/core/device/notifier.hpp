#pragma once
// Message boxes. The core asks through a Notifier; the application shows real boxes, the
// command line prints, tests answer from a script.

#include <string>
#include <string_view>

namespace tessik {

enum class MessageKind {
    Question,  // OK and Cancel, question icon
    Warning,   // OK, exclamation icon
    Notice,    // OK, information icon
};

// Action: the box's own button was pressed (see Message::action).
enum class Answer { Ok, Cancel, Action };

struct Message {
    std::string caption;  // empty: the application's title
    std::string text;
    MessageKind kind = MessageKind::Notice;
    // A button beside OK that does what the text offers ("Re-capture No 1"); empty for none.
    std::string action{};
    bool operator==(const Message&) const = default;
};

// Fixed captions some messages carry instead of the application's title.
inline constexpr std::string_view kErrorCaption = "Error";
inline constexpr std::string_view kInformationCaption = "INFORMATION";

class Notifier {
  public:
    virtual ~Notifier() = default;
    // Shows the message and waits for the user; a non-question answers Ok, or Action when the
    // message offers one and the user took it.
    virtual Answer show(const Message& message) = 0;
};

}  // namespace tessik
