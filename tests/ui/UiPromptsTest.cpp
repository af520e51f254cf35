#include "ui/qt/UiPrompts.h"

#include "ui/GuiTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace lumaquill {
namespace {

struct MessageCase {
    const char* Name;
    MessageIcon Icon;
    QMessageBox::Icon Shown;
};

TEST(UiPromptsTest, MessageBoxHasOneOkButtonTheIconAndTheProgramCaption)
{
    const MessageCase cases[] = {
        { "Stop", MessageIcon::Stop, QMessageBox::Critical },
        { "Exclamation", MessageIcon::Exclamation, QMessageBox::Warning },
    };
    for (const MessageCase& c : cases) {
        SCOPED_TRACE(c.Name);
        UiPrompts prompts;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString text;
        size_t buttons = 0;
        test::ModalAction answer([&](QWidget* window) {
            auto* box = qobject_cast<QMessageBox*>(window);
            ASSERT_NE(box, nullptr);
            icon = box->icon();
            text = box->text();
            buttons = box->buttons().size();
            box->button(QMessageBox::Ok)->click();
        });
        prompts.ShowMessage(nullptr, QStringLiteral("No image selected."), c.Icon);
        EXPECT_TRUE(answer.Done());
        EXPECT_EQ(answer.Title(), QStringLiteral("Test_ui"));
        EXPECT_EQ(icon, c.Shown);
        EXPECT_EQ(text, QStringLiteral("No image selected."));
        EXPECT_EQ(buttons, 1u);
    }
}

TEST(UiPromptsTest, OpenPromptShowsTheFilterAndOnlyExistingFiles)
{
    UiPrompts prompts;
    QStringList filters;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    test::ModalAction answer([&](QWidget* window) {
        auto* prompt = qobject_cast<QFileDialog*>(window);
        ASSERT_NE(prompt, nullptr);
        filters = prompt->nameFilters();
        mode = prompt->fileMode();
        prompt->reject();
    });
    FilePromptOptions options;
    options.Filter = QStringLiteral("Bitmap files (*.bmp)|*.bmp||");
    options.Flags = FilePromptFlag::HideReadOnly | FilePromptFlag::PathMustExist | FilePromptFlag::FileMustExist;
    EXPECT_FALSE(prompts.AskOpenFileName(nullptr, options).has_value());
    EXPECT_TRUE(answer.Done());
    EXPECT_EQ(filters, QStringList({ QStringLiteral("Bitmap files (*.bmp) (*.bmp)") }));
    EXPECT_EQ(mode, QFileDialog::ExistingFile);
}

// The folders of files chosen before are the open prompt's recent list,
// and the next prompt opens in the latest.
TEST(UiPromptsTest, OpenPromptsRememberTheFoldersOfChosenFiles)
{
    QTemporaryDir first;
    QTemporaryDir second;
    for (const QTemporaryDir* folder : { &first, &second }) {
        QFile file(folder->filePath(QStringLiteral("cover.bmp")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    UiPrompts prompts;
    FilePromptOptions options;
    options.Flags = FilePromptFlag::PathMustExist | FilePromptFlag::FileMustExist;
    QStringList history;
    QString opensIn;
    for (const QTemporaryDir* folder : { &first, &second, &first }) {
        test::ModalAction choose([&](QWidget* window) {
            auto* prompt = qobject_cast<QFileDialog*>(window);
            ASSERT_NE(prompt, nullptr);
            history = prompt->history();
            opensIn = prompt->directory().absolutePath();
            prompt->selectFile(folder->filePath(QStringLiteral("cover.bmp")));
            static_cast<QDialog*>(prompt)->accept();
        });
        EXPECT_EQ(prompts.AskOpenFileName(nullptr, options), folder->filePath(QStringLiteral("cover.bmp")));
    }
    // As the third prompt opened: in the second folder, with both listed.
    EXPECT_EQ(opensIn, QDir(second.path()).absolutePath());
    EXPECT_TRUE(history.contains(QDir(second.path()).absolutePath())) << history.join(' ').toStdString();
    EXPECT_TRUE(history.contains(QDir(first.path()).absolutePath())) << history.join(' ').toStdString();
}

TEST(UiPromptsTest, SavePromptAddsTheDefaultExtensionToANameWithoutOne)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    UiPrompts prompts;
    bool confirmsOverwrite = false;
    test::ModalAction answer([&](QWidget* window) {
        auto* prompt = qobject_cast<QFileDialog*>(window);
        ASSERT_NE(prompt, nullptr);
        confirmsOverwrite = !prompt->testOption(QFileDialog::DontConfirmOverwrite);
        prompt->setDirectory(folder.path());
        prompt->selectFile(QStringLiteral("picture"));
        static_cast<QDialog*>(prompt)->accept();
    });
    FilePromptOptions options;
    options.Filter = QStringLiteral("All files (*.*)|*.*||");
    options.DefaultExtension = QStringLiteral("bmp");
    options.Flags = FilePromptFlag::HideReadOnly | FilePromptFlag::OverwritePrompt;
    const std::optional<QString> chosen = prompts.AskSaveFileName(nullptr, options);
    EXPECT_TRUE(answer.Done());
    EXPECT_EQ(answer.Title(), QStringLiteral("Save As"));
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, QDir(folder.path()).absoluteFilePath(QStringLiteral("picture.bmp")));
    EXPECT_TRUE(confirmsOverwrite);
}

// The picture formats' save prompt: a name typed without extension gets
// the selected filter's, and the default one while the first is selected.
TEST(UiPromptsTest, SavePromptGivesANameWithoutExtensionTheSelectedFiltersExtension)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    FilePromptOptions options;
    options.Filter = QStringLiteral("PNG image (*.png)|*.png|Bitmap files (*.bmp)|*.bmp|WebP image (*.webp)|*.webp||");
    options.DefaultExtension = QStringLiteral("png");
    const std::pair<int, const char*> choices[]
        = { { -1, "picture.png" }, { 1, "picture.bmp" }, { 2, "picture.webp" } };
    for (const auto& [filter, saved] : choices) {
        UiPrompts prompts;
        test::ModalAction answer([&, filter = filter](QWidget* window) {
            auto* prompt = qobject_cast<QFileDialog*>(window);
            ASSERT_NE(prompt, nullptr);
            prompt->setDirectory(folder.path());
            if (filter >= 0) {
                const QString name = prompt->nameFilters().at(filter);
                prompt->selectNameFilter(name);
                emit prompt->filterSelected(name);
            }
            prompt->selectFile(QStringLiteral("picture"));
            static_cast<QDialog*>(prompt)->accept();
        });
        const std::optional<QString> chosen = prompts.AskSaveFileName(nullptr, options);
        EXPECT_TRUE(answer.Done());
        ASSERT_TRUE(chosen.has_value());
        EXPECT_EQ(*chosen, QDir(folder.path()).absoluteFilePath(QString::fromLatin1(saved)));
    }
}

} // namespace
} // namespace lumaquill
