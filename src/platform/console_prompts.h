#pragma once

#include "platform/persian_text.h"
#include "platform/prompts.h"

#include <cstdio>

namespace tavrin {

// The prompts of a command-line verb: nobody is there to answer, so a notice is printed
// and a question is printed and answered Yes (the verb has asked its own questions first,
// through its options).
class ConsolePrompts final : public Prompts {
public:
    explicit ConsolePrompts(std::FILE* out) : out_(out) {}
    void notice(const QString&, const QString& text) override { print(text); }
    bool askYesNo(const QString&, const QString& text, Default) override {
        print(text + kYes);
        return true;
    }
    Answer askYesNoCancel(const QString&, const QString& text, Answer) override {
        print(text + kYes);
        return Answer::Yes;
    }

private:
    // A message box's lines make one line of the console, in Persian letters as the windows
    // show them.
    void print(const QString& text) {
        std::fprintf(out_, "%s\n",
                     persianShown(text.simplified(), Digits::Untouched).toUtf8().constData());
    }
    inline static const QString kYes = QStringLiteral(u" (بله)");
    std::FILE* out_;
};

} // namespace tavrin
