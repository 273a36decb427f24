// A TR-DOS image with three files in the catalogue window, with scripted dialogs and
// remembered folders in a temporary directory.
#pragma once

#include <QAction>
#include <QDir>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

#include "ScriptedCatalogueDialogs.h"
#include "support/TestDisks.h"
#include "ui/catalogue/TrDosCatalogueWindow.h"

namespace morvane::test {

class TrDosWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        disk = NewTrDosDisk();
        boot = AddTrDosFile(*disk, "boot", 'B', 2, 1);
        screen = AddTrDosFile(*disk, "pic", 'C', 27, 2, 6912);
        code = AddTrDosFile(*disk, "code", 'C', 3, 3);
        Open();
    }

    void Open() {
        TrDosWindowContext c;
        c.disk = disk.get();
        c.dialogs = &dialogs;
        c.hobetaDir = {[this] { return hobetaDir; }, [this](const QString& f) { hobetaDir = f; }};
        c.sclDir = {[this] { return sclDir; }, [this](const QString& f) { sclDir = f; }};
        c.imageChanged = [this] { ++changes; };
        c.mayChangeImage = [this] { return !refuseChanges; };
        window = std::make_unique<TrDosCatalogueWindow>(std::move(c));
        ASSERT_TRUE(window->LoadFromImage());
    }

    int Rows() const { return window->List()->topLevelItemCount(); }
    QString Cell(int row, int column) const {
        return window->List()->topLevelItem(row)->text(column);
    }
    bool Enabled(std::string_view caption) const { return window->Action(caption)->isEnabled(); }
    QString Path(const QString& name) const { return out.filePath(name); }

    QTemporaryDir out;
    std::unique_ptr<DiskImage> disk;
    TrDosEntry boot, screen, code;
    ScriptedCatalogueDialogs dialogs;
    QString hobetaDir = QStringLiteral("/nowhere/");
    QString sclDir = QStringLiteral("/nowhere/");
    int changes = 0;
    bool refuseChanges = false;  // the owner says no (an operation holds the controller)
    std::unique_ptr<TrDosCatalogueWindow> window;
};

}  // namespace morvane::test
