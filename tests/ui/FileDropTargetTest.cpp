#include "ui/qt/FileDropTarget.h"

#include "ui/GuiTestSupport.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace lumaquill {
namespace {

struct DropCase {
    const char* Name;
    std::function<void(QMimeData&, const QTemporaryDir&)> Fill;
    QString Refusal;
};

// One readable local file is handed on; anything else says why, with the
// stop icon, and hands nothing on.
TEST(FileDropTargetTest, TakesOneReadableFileAndSaysWhyItRefusesTheRest)
{
    const auto url = [](const QTemporaryDir& folder, const char* name) {
        return QUrl::fromLocalFile(folder.filePath(QString::fromLatin1(name)));
    };
    const DropCase cases[] = {
        { "a file", [&](QMimeData& data, const QTemporaryDir& folder) { data.setUrls({ url(folder, "a.bin") }); },
            QString() },
        { "text, not a file", [](QMimeData& data, const QTemporaryDir&) { data.setText(QStringLiteral("hello")); },
            QStringLiteral("Only a file can be dropped here.") },
        { "two files",
            [&](QMimeData& data, const QTemporaryDir& folder) {
                data.setUrls({ url(folder, "a.bin"), url(folder, "b.bin") });
            },
            QStringLiteral("Please drop one file at a time.") },
        { "a web address",
            [](QMimeData& data, const QTemporaryDir&) {
                data.setUrls({ QUrl(QStringLiteral("https://example.org/a.bmp")) });
            },
            QStringLiteral("Only a file on this computer can be dropped here.") },
        { "a folder", [&](QMimeData& data, const QTemporaryDir& folder) { data.setUrls({ url(folder, "sub") }); },
            QStringLiteral("\"sub\" is a folder. Please drop a file.") },
        { "a file that is gone",
            [&](QMimeData& data, const QTemporaryDir& folder) { data.setUrls({ url(folder, "gone.bin") }); },
            QStringLiteral("\"gone.bin\" cannot be read.") },
    };
    for (const DropCase& c : cases) {
        SCOPED_TRACE(c.Name);
        QTemporaryDir folder;
        QFile file(folder.filePath(QStringLiteral("a.bin")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.close();
        QFile(folder.filePath(QStringLiteral("a.bin"))).copy(folder.filePath(QStringLiteral("b.bin")));
        ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("sub")));

        QPushButton button;
        test::ScriptedPrompts prompts;
        QStringList handed;
        new FileDropTarget(&button, prompts, [&](const QString& path) { handed << path; });
        EXPECT_TRUE(button.acceptDrops());
        QMimeData data;
        c.Fill(data, folder);
        test::DropOn(&button, data);
        if (c.Refusal.isNull()) {
            EXPECT_EQ(handed, QStringList { folder.filePath(QStringLiteral("a.bin")) });
            EXPECT_TRUE(prompts.Messages.empty());
        } else {
            EXPECT_TRUE(handed.isEmpty());
            ASSERT_EQ(prompts.Messages.size(), 1u);
            EXPECT_EQ(prompts.Messages[0].Text, c.Refusal);
            EXPECT_EQ(prompts.Messages[0].Icon, MessageIcon::Stop);
        }
    }
}

} // namespace
} // namespace lumaquill
