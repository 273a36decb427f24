// Answers the catalogue windows' questions from a script and records what was asked and
// what the viewer was given.
#pragma once

#include <QStringList>

#include <deque>

#include "model/Bytes.h"
#include "ui/catalogue/CatalogueDialogs.h"

namespace morvane::test {

struct ScriptedCatalogueDialogs : CatalogueDialogs {
    QStringList messages;   // "caption|text"
    QStringList questions;  // "caption|text"
    bool yesNo = true;
    std::deque<Answer> yesNoCancel;  // Yes when empty
    std::optional<QString> name;
    QString folder;
    QString saveFile;
    std::vector<SaveFileRequest> saveRequests;
    QStringList openFiles;
    std::vector<OpenFilesRequest> openRequests;
    std::optional<QString> typedText;
    QStringList textQuestions;  // "caption|label|preset"
    std::optional<TrDosEntryEdit> header;
    enum class Shown { None, Screen, Hex, Text, Listing };
    Shown shown = Shown::None;
    Bytes shownBytes;
    bool terminalFont = false;
    QString listingCaption, listing, listingFileName;

    Answer Ask(const Question& q) override {
        const QString asked = QString::fromStdString(q.caption) + QLatin1Char('|') +
                              QString::fromStdString(q.text);
        if (q.buttons == Buttons::Ok) {
            messages << asked;
            return Answer::Ok;
        }
        questions << asked;
        if (q.buttons == Buttons::YesNo) return yesNo ? Answer::Yes : Answer::No;
        if (yesNoCancel.empty()) return Answer::Yes;
        const Answer a = yesNoCancel.front();
        yesNoCancel.pop_front();
        return a;
    }
    std::optional<QString> DiskName(const QString&, bool) override { return name; }
    QString ChooseFolder(const QString&, const QString&) override { return folder; }
    QString ChooseSaveFile(const SaveFileRequest& request) override {
        saveRequests.push_back(request);
        return saveFile;
    }
    QStringList ChooseOpenFiles(const OpenFilesRequest& request) override {
        openRequests.push_back(request);
        return openFiles;
    }
    std::optional<QString> AskText(const QString& caption, const QString& label,
                                   const QString& preset) override {
        textQuestions << caption + QLatin1Char('|') + label + QLatin1Char('|') + preset;
        return typedText;
    }
    bool EditHeader(TrDosEntryEdit& edit) override {
        if (!header) return false;
        edit = *header;
        return true;
    }
    void ShowScreen(std::span<const std::uint8_t> screen) override {
        shown = Shown::Screen;
        shownBytes.assign(screen.begin(), screen.end());
    }
    void ShowHex(std::span<const std::uint8_t> bytes, bool terminal) override {
        shown = Shown::Hex;
        shownBytes.assign(bytes.begin(), bytes.end());
        terminalFont = terminal;
    }
    void ShowText(std::span<const std::uint8_t> bytes) override {
        shown = Shown::Text;
        shownBytes.assign(bytes.begin(), bytes.end());
    }
    void ShowListing(const QString& caption, const QString& text,
                     const QString& fileName) override {
        shown = Shown::Listing;
        listingCaption = caption;
        listing = text;
        listingFileName = fileName;
    }
};

}  // namespace morvane::test
