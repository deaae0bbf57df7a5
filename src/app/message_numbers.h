#pragma once

namespace tavrin {

// The numbered notices: shown in a box, then logged ("Payam number N displayed.").
enum Notice : int {
    kNoticeNoInputTexts = 1,
    kNoticeFillEverything = 2,
    kNoticeBookMade = 4,
    kNoticeNothingToEdit = 5,
    kNoticeNoProjectFolder = 10,
    kNoticeNoMarkSnippet = 25,
    kNoticeNoExportTarget = 26,
    kNoticeNoExportScript = 27,
    kNoticeExportFailed = 28,
    kNoticeExportReady = 29,
    kNoticeUnsafeTitle = 30,
    // Answers or an explanation filed before their question; as a failure code, logged.
    kNoticeFileQuestionFirst = 31,
    // The tool's own: a delete refused because the list no longer matched the file, a
    // second start on a program folder in use, answers of more than four paragraphs (kept),
    // the player's settings not written (the old ones stay), a quiz file not made (nothing
    // changed); the last two with why on a second line.
    kNoticeStaleList = 103,
    kNoticeSecondInstance = 104,
    kNoticeMoreThanFour = 105,
    kNoticeSettingsNotSaved = 106,
    kNoticeBookNotMade = 107,
    // A lesson text that could not be read (the box keeps its text), a made lesson whose
    // quiz file could not be read back (left as it is), a draft that could not be read (put
    // aside): with why on a second line.
    kNoticeLessonTextNotRead = 108,
    kNoticeQuizNotReopened = 109,
    kNoticeDraftNotRead = 110,
    // Exported, but the check before the disc found errors: in place of 29.
    kNoticeExportNotReady = 111,
    // The disc image: made and read back the same (with its path), not made or not the same
    // (with why), no export to make it of.
    kNoticeImageMade = 112,
    kNoticeImageNotMade = 113,
    kNoticeNoExportYet = 114,
    // Questions for learning platforms: written (with the file on a second line), not
    // written, not imported (with why).
    kNoticeQuestionsWritten = 115,
    kNoticeQuestionsNotWritten = 116,
    kNoticeQuestionsNotImported = 117,
    // A capture command with no text selected; a quiz file with no question to make; the
    // formatter asked for another lesson while its own has unmade entries; a project whose
    // folder is gone (the path on a second line); a delete while the formatter is open.
    kNoticeSelectTextFirst = 118,
    kNoticeNothingToMake = 119,
    kNoticeFormatterStays = 120,
    kNoticeProjectFolderMissing = 121,
    kNoticeCloseFormatterFirst = 122,
    // An attachment path that names no file (a picture is 6, a sound 7, a film 8); a file
    // picker confirmed with no file chosen.
    kNoticeAttachmentNotFound = 123,
    kNoticeChooseAFile = 124,
    kNoticeSettingNotKept = 125,
    // A Word text whose equations were not all turned into formulas: what was kept as a mark
    // or a picture, on the lines after it.
    kNoticeEquationsKept = 126,
    // An exam on paper: written (with the folder on a second line), not written (with why).
    kNoticePaperWritten = 127,
    kNoticePaperNotWritten = 128,
    // An item analysis not written (with why).
    kNoticeAnalysisNotWritten = 129,
    // A project's own button pressed with no project chosen: what to choose.
    kNoticeChooseAProject = 130,
    // An undo or a redo refused or failed (the edit and why on a second line).
    kNoticeEditNotUndone = 131,
    // Answer sheets not read or not written (with why).
    kNoticeSheetsNotRead = 132,
    kNoticeLast = kNoticeSheetsNotRead,
};

// The failure codes: each handler's and procedure's own, logged only ("Error occurred =>
// Error number is N (...)"); 101 and 102 show their message too.
enum FailureCode : int {
    kFailMusicOption = 31,
    kFailHelpButton = 33,
    kFailBrowseMusic1 = 35,
    kFailBrowseMusic2 = 36,
    kFailBrowseBackPicture = 37,
    kFailActionLabel = 38, // also the formatter's input-folder link
    kFailMainLoad = 39,
    kFailReadBlock = 41,
    kFailMinimiseLink = 43,
    kFailBrowseExportFolder = 46,
    kFailMakeDirs = 50,
    kFailShowEdit = 51,
    kFailDoEdit = 52,
    kFailOpenEntry = 53,
    kFailRemoveEntry = 54,
    kFailLoadLessonText = 55,
    kFailPutMark = 56,
    kFailMakeBook = 57,
    kFailCaptureCommand = 59,
    kFailOpenFormatter = 60,
    kFailHeading = 61,
    kFailIndexEmpty = 63,
    kFailFileList = 64,
    kFailResetA = 66,
    kFailToTxt = 67,
    kFailHelpViewer = 69,
    kFailEditorButton = 70,
    kFailCopyText = 74,
    kFailCutText = 75,
    kFailDeleteText = 76,
    kFailOpenEditor = 77,
    kFailEditorBoxClick = 78,
    kFailPasteText = 79,
    kFailReflow = 80,
    kFailBackground = 81, // also the pictures of the action panels
    kFailShowBackground = 82,
    kFailChekSelect = 86,
    kFailReadCatalogue = 87,
    kFailReadAttribute = 88,
    kFailReadProject = 89,
    kFailReadLessons = 90,
    kFailAddProject = 91,
    kFailWriteNode = 92,
    kFailDeleteProject = 93,
    kFailDeleteNode = 94,
    kFailTitleBox = 95,
    kFailNewProject = 96,
    kFailNewProjectFile = 97,
    kFailNewField = 98,
    kFailNewLesson = 99,
    kFailDataEntryButton = 101,
    kFailOutputButton = 102,
    kFailDeleteField = 201,
    kFailDeleteWholeNode = 202,
    kFailDeleteLesson = 203,
    kFailSaveDraft = 204,
    kFailReadDraft = 205,
    kFailReopenBook = 206,
    kFailDiscImage = 207,
    kFailQuestionsOut = 208,
    kFailQuestionsIn = 209,
    kFailScoringSettings = 210,
    kFailPaperExam = 211,
    kFailAnalysis = 212,
    kFailReadSheets = 213,
};

} // namespace tavrin
