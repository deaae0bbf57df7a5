#pragma once

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
        print(text);
        return true;
    }
    Answer askYesNoCancel(const QString&, const QString& text) override {
        print(text);
        return Answer::Yes;
    }

private:
    void print(QString text) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        std::fprintf(out_, "%s\n", text.toUtf8().constData());
    }
    std::FILE* out_;
};

} // namespace tavrin
