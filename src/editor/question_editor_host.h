#pragma once

#include <QString>
#include <optional>

namespace tavrin {

class QuestionEditor;

// The window the question editor edits an entry of: it fills the editor, takes it back,
// removes the entry, puts the two marks into its answers, and opens the file picker.
class QuestionEditorHost {
public:
    virtual ~QuestionEditorHost() = default;
    virtual void ShowEdit(QuestionEditor& editor) = 0;
    virtual void DoEdit(QuestionEditor& editor) = 0;
    virtual void Ohazf(QuestionEditor& editor) = 0;
    virtual void DoIMG(QuestionEditor& editor) = 0;
    virtual void DoCor(QuestionEditor& editor) = 0;
    virtual std::optional<QString> pickFile(const QString& purpose, const QString& pattern) = 0;
    // The file of the picture an entry's mark "{n}" stands for; empty when there is none.
    virtual QString imageFile(int n) const = 0;
};

} // namespace tavrin
