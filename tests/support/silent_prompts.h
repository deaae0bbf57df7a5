#pragma once

#include "platform/prompts.h"

namespace tavrin::test {

// Prompts for programs that run the tool's steps unattended (the sample maker, the player's
// exports, benchmarks, fuzz targets): nothing is shown, every question is answered Yes.
class SilentPrompts final : public Prompts {
public:
    void notice(const QString&, const QString&) override {}
    bool askYesNo(const QString&, const QString&, Default) override { return true; }
    Answer askYesNoCancel(const QString&, const QString&, Answer) override { return Answer::Yes; }
};

} // namespace tavrin::test
