// A user's encode and decode, driven from the main window through the real
// dialogs: payload, container, password or questions, preview, save, and
// back again in a fresh decode dialog.

#include "app/EndToEndSupport.h"
#include "app/MainDialog.h"
#include "core/MessageText.h"
#include "engine/StegEngine.h"
#include "flows/Payload.h"
#include "flows/StealthFlow.h"
#include "flows/StealthJpegFlow.h"
#include "flows/StegFlows.h"
#include "image/PngFixture.h"
#include "seal/SecretBytes.h"
#include "support/JpegFixture.h"
#include "ui/GuiTestSupport.h"
#include "ui/dialogs/DecodeDialog.h"
#include "ui/dialogs/EncodeDialog.h"
#include "ui/dialogs/PreviewDialog.h"
#include "ui/dialogs/ProgressDialog.h"
#include "ui/dialogs/QuizlockAnswerDialog.h"

#include <QCheckBox>
#include <QDir>
#include <QGuiApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>
#include <unistd.h>

namespace lumaquill {
namespace {

using test::OnDialog;

constexpr int TextEditId = 1016;
constexpr int PasswordEditId = 1023;
constexpr int ConfirmationEditId = 1024;
constexpr int QuizlockButtonId = 1036;
constexpr int FirstSetupSlotId = 1037;
constexpr int FirstAnswerQuestionId = 1037;
constexpr int FirstAnswerButtonId = 1043;
constexpr int QuestionComboId = 1041;
constexpr int HintEditId = 1040;
constexpr int AnswerEditId = 1039;
constexpr int SealBoxId = 1070;

const QString kEncodeCaption = QStringLiteral("Encode Image");
const QString kDecodeCaption = QStringLiteral("Decode");
const QString kPasswordCaption = QStringLiteral("Password");
const QString kEntryCaption = QStringLiteral("Text to Encode");
const QString kDisplayCaption = QStringLiteral("Decoded Text");
const QString kEncodedPreviewCaption = QStringLiteral("Encoded Image (Low quality preview)");

const QString kNoData = QStringLiteral("No data to encode.");
const QString kNoContainer = QStringLiteral("No container image selected.");
// A chosen picture that is refused is named, with the reason first.
const QString kEightBitChosen
    = QStringLiteral("grey.bmp cannot be used: it has 8 bits per pixel; a container needs 24 or 32.");
const QString kEightBitToDecode
    = QStringLiteral("grey.bmp cannot be decoded: it has 8 bits per pixel; a container needs 24 or 32.");
const QString kNoPictureChosen = QStringLiteral(
    "not-a-bitmap.bmp cannot be used: it is not a picture Lumaquill reads (PNG, JPEG, WebP, HEIC, AVIF or BMP).");
const QString kNoPictureToDecode = QStringLiteral("not-a-bitmap.bmp cannot be decoded: it is not a picture "
                                                  "Lumaquill reads (PNG, JPEG, WebP, HEIC, AVIF or BMP).");
const QString kNothingDecoded = QStringLiteral("Could not decode any useful information from this image.");

const QString kPassword = QStringLiteral("correct horse");

// Presses Cancel in each progress window as it is shown: the run's first
// progress step then finds the cancel already asked for.
class CancelAtFirstProgress : public QObject {
public:
    CancelAtFirstProgress() { QCoreApplication::instance()->installEventFilter(this); }
    ~CancelAtFirstProgress() override { QCoreApplication::instance()->removeEventFilter(this); }

    int Pressed = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* progress = qobject_cast<ProgressDialog*>(watched);
        if (event->type() == QEvent::Show && progress != nullptr) {
            QPushButton* cancel = progress->Button(kIdCancel);
            EXPECT_NE(cancel, nullptr);
            if (cancel != nullptr) {
                EXPECT_EQ(progress->ControlText(kIdCancel), QStringLiteral("Cancel"));
                cancel->click();
                ++Pressed;
            }
        }
        return false;
    }
};

struct Quiz {
    QString Question;
    QString Hint;
    QString Answer;
};

class EncodeDecodeEndToEndTest : public ::testing::Test {
protected:
    EncodeDecodeEndToEndTest()
        : TmpDir(Scratch.path().toStdString())
        , Main(Flows, Prompts)
    {
        Main.show();
    }

    ~EncodeDecodeEndToEndTest() override
    {
        // Every run ended its busy cursor and progress window.
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        for (QWidget* window : QApplication::topLevelWidgets())
            EXPECT_TRUE(window == &Main || !window->isVisible()) << window->windowTitle().toStdString();
    }

    std::string Path(const char* name) const { return Scratch.filePath(QString::fromUtf8(name)).toStdString(); }
    // Where the temporary containers go.
    std::string PrivateTemp() const { return Path("lumaquill-") + std::to_string(::geteuid()) + "/"; }

    // Opens the encode dialog from the main window and runs the steps in it;
    // a dialog the steps leave open is then closed with its close box.
    void Encode(const std::function<void(EncodeDialog&)>& steps)
    {
        Open(MainDialog::kEncodeButtonId, kEncodeCaption,
            [&](TemplateDialog& dialog) { steps(static_cast<EncodeDialog&>(dialog)); });
    }
    void Decode(const std::function<void(DecodeDialog&)>& steps)
    {
        Open(MainDialog::kDecodeButtonId, kDecodeCaption,
            [&](TemplateDialog& dialog) { steps(static_cast<DecodeDialog&>(dialog)); });
    }

    void ChooseFile(EncodeDialog& dialog, const std::string& path)
    {
        Prompts.AnswerFile(QString::fromStdString(path));
        dialog.Button(EncodeDialog::kFileButtonId)->click();
    }

    // Types the text into the text dialog; returns what the dialog showed
    // when it opened.
    QString TypeText(EncodeDialog& dialog, const QString& text)
    {
        QString shown;
        OnDialog entry(kEntryCaption, [&](TemplateDialog& textDialog) {
            shown = textDialog.ControlText(TextEditId);
            textDialog.SetControlText(TextEditId, text);
            textDialog.Button(kIdOk)->click();
        });
        dialog.Button(EncodeDialog::kTypedTextButtonId)->click();
        EXPECT_TRUE(entry.Done());
        return shown;
    }

    // Existing Image in the encode dialog, Image in the decode dialog.
    void ChooseImage(TemplateDialog& dialog, const std::string& path)
    {
        Prompts.AnswerFile(QString::fromStdString(path));
        dialog.Button(EncodeDialog::kExistingImageButtonId)->click();
    }

    // Ok, the password typed twice (and "Seal with strong encryption"
    // ticked when seal), and Save As to saveAs (Cancel without).
    void EncodeWithPassword(
        EncodeDialog& dialog, const QString& password, const std::optional<std::string>& saveAs, bool seal = false)
    {
        OnDialog passwordStep(kPasswordCaption, [&](TemplateDialog& step) {
            step.SetControlText(PasswordEditId, password);
            step.SetControlText(ConfirmationEditId, password);
            if (seal)
                step.CheckBox(SealBoxId)->click();
            step.Button(kIdOk)->click();
        });
        OnDialog save(kEncodedPreviewCaption, [&](TemplateDialog& preview) { SaveOrCancel(preview, saveAs); });
        dialog.Button(kIdOk)->click();
        EXPECT_TRUE(passwordStep.Done());
        EXPECT_TRUE(save.Done());
    }

    void EncodeWithQuestion(EncodeDialog& dialog, const Quiz& quiz, const std::string& saveAs)
    {
        OnDialog passwordStep(kPasswordCaption, [&](TemplateDialog& step) {
            OnDialog setup(QStringLiteral("Quizlock"), [&](TemplateDialog& questionList) {
                OnDialog question(QStringLiteral("Question #1"), [&](TemplateDialog& slot) {
                    slot.SetControlText(QuestionComboId, quiz.Question);
                    slot.SetControlText(HintEditId, quiz.Hint);
                    slot.SetControlText(AnswerEditId, quiz.Answer);
                    slot.Button(kIdOk)->click();
                });
                questionList.Button(FirstSetupSlotId)->click();
                EXPECT_TRUE(question.Done());
                questionList.Button(kIdOk)->click();
            });
            step.Button(QuizlockButtonId)->click();
            EXPECT_TRUE(setup.Done());
        });
        OnDialog save(kEncodedPreviewCaption, [&](TemplateDialog& preview) { SaveOrCancel(preview, saveAs); });
        dialog.Button(kIdOk)->click();
        EXPECT_TRUE(passwordStep.Done());
        EXPECT_TRUE(save.Done());
    }

    // Decode with the password; returns the decoded text when a text
    // dialog is expected and showed one.
    std::optional<QString> DecodeWithPassword(DecodeDialog& dialog, const QString& password, bool expectText = true)
    {
        OnDialog passwordStep(kPasswordCaption, [&](TemplateDialog& step) {
            step.SetControlText(PasswordEditId, password);
            step.Button(kIdOk)->click();
        });
        std::optional<QString> shown;
        std::optional<OnDialog> display;
        if (expectText) {
            display.emplace(kDisplayCaption, [&](TemplateDialog& text) {
                shown = text.ControlText(TextEditId);
                EXPECT_FALSE(text.Button(kIdOk)->isVisible());
                EXPECT_EQ(text.ControlText(kIdCancel), QStringLiteral("Close"));
                text.Button(kIdCancel)->click();
            });
        }
        dialog.Button(kIdOk)->click();
        EXPECT_TRUE(passwordStep.Done());
        return shown;
    }

    void ExpectMessages(const std::vector<std::pair<QString, MessageIcon>>& expected)
    {
        std::string shown;
        for (const test::ShownMessage& message : Prompts.Messages)
            shown += "\"" + message.Text.toStdString() + "\" ";
        ASSERT_EQ(Prompts.Messages.size(), expected.size()) << shown;
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(Prompts.Messages[i].Text, expected[i].first);
            EXPECT_EQ(Prompts.Messages[i].Icon, expected[i].second) << expected[i].first.toStdString();
        }
        Prompts.Messages.clear();
    }

    QTemporaryDir Scratch;
    test::ScopedTmpDir TmpDir;
    StegEngine Engine;
    StegFlows Flows { Engine };
    test::ScriptedPrompts Prompts;
    MainDialog Main;

private:
    void Open(int buttonId, const QString& caption, const OnDialog::Action& steps)
    {
        OnDialog dialog(caption, [&](TemplateDialog& opened) {
            steps(opened);
            if (opened.isVisible())
                opened.reject();
        });
        Main.Button(buttonId)->click();
        EXPECT_TRUE(dialog.Done());
    }

    void SaveOrCancel(TemplateDialog& preview, const std::optional<std::string>& saveAs)
    {
        if (!saveAs) {
            preview.Button(kIdCancel)->click();
            return;
        }
        Prompts.AnswerFile(QString::fromStdString(*saveAs));
        preview.Button(kIdOk)->click();
    }
};

QString DataSizeText(size_t size)
{
    return QStringLiteral("Data Size : %1").arg(size);
}

size_t CompressedSize(const std::vector<uint8_t>& bytes)
{
    return CompressPayload(bytes.data(), bytes.size()).value().size();
}

// Incompressible bytes of a length whose zlib stream is exactly size bytes.
std::vector<uint8_t> BytesCompressingTo(size_t size)
{
    for (size_t length = size - 64; length < size; ++length) {
        std::vector<uint8_t> bytes = test::SomeBytes(length, 6);
        if (CompressedSize(bytes) == size)
            return bytes;
    }
    ADD_FAILURE() << "no length compresses to " << size;
    return {};
}

TEST_F(EncodeDecodeEndToEndTest, FileHiddenInAnExistingImageIsSavedAndDecodedBackIdentical)
{
    const std::vector<uint8_t> payload = test::SomeBytes(3001, 1);
    test::WriteFile(Path("report.bin"), payload);
    test::WriteBitmap24(Path("holiday.bmp"), 197, 161, 2);
    Encode([&](EncodeDialog& dialog) {
        ChooseFile(dialog, Path("report.bin"));
        EXPECT_EQ(dialog.ControlText(EncodeDialog::kDataSizeId), DataSizeText(CompressedSize(payload)));
        ChooseImage(dialog, Path("holiday.bmp"));
        // Rows of 592 bytes (591 and one of padding), a third of a row byte
        // per slot, less the 4096 the capacity keeps back.
        EXPECT_EQ(
            dialog.ControlText(EncodeDialog::kMaxSizeId), QStringLiteral("Max Size : %1").arg(592 * 161 / 3 - 4096));
        EncodeWithPassword(dialog, kPassword, Path("hidden.bmp"));
    });
    ExpectMessages({});
    ASSERT_TRUE(test::Exists(Path("hidden.bmp")));
    // Save As offered the cover's name in the default format, and the save
    // said where the picture went, with the advice on sending it.
    EXPECT_EQ(Prompts.FileRequests.back().Options.InitialName, QStringLiteral("holiday.png"));
    ASSERT_EQ(Prompts.Saved.size(), 1u);
    EXPECT_EQ(Prompts.Saved[0].first,
        QStringLiteral("The encoded picture was saved as %1.\n\nSend the picture as a file, not as a photo: "
                       "messengers recompress photos and destroy what is hidden.")
            .arg(QString::fromStdString(Path("hidden.bmp"))));
    EXPECT_EQ(Prompts.Saved[0].second, QString::fromStdString(Path("hidden.bmp")));

    Engine.Clear();
    Decode([&](DecodeDialog& dialog) {
        ChooseImage(dialog, Path("hidden.bmp"));
        Prompts.AnswerFile(QString::fromStdString(Path("restored.bin")));
        EXPECT_EQ(DecodeWithPassword(dialog, kPassword, false), std::nullopt);
        EXPECT_FALSE(dialog.isVisible());
    });
    ExpectMessages({});
    EXPECT_EQ(test::ReadFile(Path("restored.bin")), payload);
    ASSERT_EQ(Prompts.Saved.size(), 2u);
    EXPECT_EQ(Prompts.Saved[1].first,
        QStringLiteral("The decoded file was saved as %1.").arg(QString::fromStdString(Path("restored.bin"))));
    // The save prompt offered the file's own name, without its folder.
    ASSERT_FALSE(Prompts.FileRequests.empty());
    EXPECT_TRUE(Prompts.FileRequests.back().Save);
    EXPECT_EQ(Prompts.FileRequests.back().Options.InitialName, QStringLiteral("report.bin"));
}

// A PNG cover saved as PNG (the Save As default) decodes back in the dialog;
// a lossy picture given to decode says why it cannot hold anything.
TEST_F(EncodeDecodeEndToEndTest, PngCoverSavedAsPngDecodesBackAndALossyPictureIsRefused)
{
    const QString text = QStringLiteral("Hidden in a PNG.");
    test::PngLayout png;
    png.ColourType = 2;
    png.Interlaced = true;
    png.Sample = [](uint32_t x, uint32_t y, uint32_t c) { return (x * 3 + y * 11 + c * 50) & 0xFF; };
    const std::string bytes = test::BuildPng(png);
    test::WriteFile(Path("cover.png"), std::vector<uint8_t>(bytes.begin(), bytes.end()));
    Encode([&](EncodeDialog& dialog) {
        ChooseImage(dialog, Path("cover.png"));
        TypeText(dialog, text);
        EncodeWithPassword(dialog, kPassword, Path("encoded"));
    });
    ASSERT_TRUE(test::Exists(Path("encoded.png")));
    Engine.Clear();
    Decode([&](DecodeDialog& dialog) {
        ChooseImage(dialog, Path("encoded.png"));
        EXPECT_EQ(DecodeWithPassword(dialog, kPassword), text);
    });
    Decode([&](DecodeDialog& dialog) {
        ChooseImage(dialog, std::string(LUMAQUILL_FIXTURES) + "/lossy.webp");
        // Named as soon as it is chosen.
        EXPECT_EQ(dialog.ControlText(DecodeDialog::kChosenImageId),
            QStringLiteral("Image: lossy.webp, which cannot be decoded"));
        dialog.Button(kIdOk)->click();
        EXPECT_TRUE(dialog.isVisible());
        ExpectMessages({ { QStringLiteral("lossy.webp cannot be decoded: it is a lossy WebP picture; lossy formats "
                                          "cannot carry hidden data (any data was destroyed when the picture was "
                                          "saved that way)."),
            MessageIcon::Stop } });
    });
    // A JPEG holds data only as a stealth JPEG, and is tried as one.
    Decode([&](DecodeDialog& dialog) {
        ChooseImage(dialog, std::string(LUMAQUILL_FIXTURES) + "/cover.jpg");
        EXPECT_EQ(dialog.ControlText(DecodeDialog::kChosenImageId), QStringLiteral("Image: cover.jpg, 47 x 33 pixels"));
        EXPECT_EQ(DecodeWithPassword(dialog, kPassword, false), std::nullopt);
        EXPECT_TRUE(dialog.isVisible());
        ExpectMessages({ { QString::fromUtf8(message::kStealthJpegNotOpened), MessageIcon::Exclamation } });
    });
}

// The advice on sending the picture comes once in a run of the program.
TEST_F(EncodeDecodeEndToEndTest, TheAdviceOnSendingComesWithTheFirstSaveOnly)
{
    test::WriteBitmap24(Path("mill.bmp"), 64, 80, 3);
    for (const char* name : { "first.png", "second.png" }) {
        Encode([&](EncodeDialog& dialog) {
            ChooseImage(dialog, Path("mill.bmp"));
            TypeText(dialog, QStringLiteral("words"));
            EncodeWithPassword(dialog, kPassword, Path(name));
        });
    }
    ASSERT_EQ(Prompts.Saved.size(), 2u);
    EXPECT_TRUE(Prompts.Saved[0].first.contains(QStringLiteral("Send the picture as a file")));
    EXPECT_EQ(Prompts.Saved[1].first,
        QStringLiteral("The encoded picture was saved as %1.").arg(QString::fromStdString(Path("second.png"))));
}

TEST_F(EncodeDecodeEndToEndTest, TypedTextComesBackInTheEncodedTextWindow)
{
    const QString text = QStringLiteral("Meet me at the old mill at nine.\r\nBring the map. \u00e9t\u00e9");
    test::WriteBitmap24(Path("mill.bmp"), 64, 80, 3);
    Encode([&](EncodeDialog& dialog) {
        ChooseImage(dialog, Path("mill.bmp"));
        TypeText(dialog, text);
        EncodeWithPassword(dialog, kPassword, Path("mill-encoded.bmp"));
    });
    Engine.Clear();
    Decode([&](DecodeDialog& dialog) {
        ChooseImage(dialog, Path("mill-encoded.bmp"));
        EXPECT_EQ(DecodeWithPassword(dialog, kPassword), text);
    });
    ExpectMessages({});
}

TEST_F(EncodeDecodeEndToEndTest, PureNoiseContainerReplacesTheChosenImage)
{
    const std::vector<uint8_t> payload = BytesCompressingTo(30000);
    test::WriteFile(Path("notes.bin"), payload);
    test::WriteBitmap24(Path("holiday.bmp"), 640, 480, 5);
    // The noise picture for a 30000-byte payload.
    const int32_t side = 123;
    Encode([&](EncodeDialog& dialog) {
        ChooseImage(dialog, Path("holiday.bmp"));
        ChooseFile(dialog, Path("notes.bin"));
        dialog.SetChecked(EncodeDialog::kNoiseBoxId, true);
        EncodeWithPassword(dialog, kPassword, Path("noise.bmp"));
    });
    EXPECT_EQ(Engine.Width(), side);
    EXPECT_EQ(Engine.Height(), side);
    EXPECT_EQ(Engine.Keys.Mode, 4);
    // The noise container is made in memory: no temporary file at all.
    EXPECT_FALSE(test::Exists(PrivateTemp() + "asyat.bmp"));
    EXPECT_FALSE(test::Exists(Path("asyat.bmp")));

    Engine.Clear();
    Decode([&](DecodeDialog& dialog) {
        ChooseImage(dialog, Path("noise.bmp"));
        EXPECT_EQ(Engine.Width(), side);
        Prompts.AnswerFile(QString::fromStdString(Path("notes-back.bin")));
        DecodeWithPassword(dialog, kPassword, false);
    });
    ExpectMessages({});
    EXPECT_EQ(test::ReadFile(Path("notes-back.bin")), payload);
}

// Zeros compress to almost nothing, but a decode restores at most 20 x
// Capacity(5) bytes: the dialog sizes the noise picture for the file's own
// size, as lumaquill-cli does, and the file comes back whole.
TEST_F(EncodeDecodeEndToEndTest, PureNoiseContainerIsLargeEnoughForTheUnpackedFile)
{
    const std::vector<uint8_t> zeros(300000, 0);
    test::WriteFile(Path("zeros.bin"), zeros);
    Encode([&](EncodeDialog& dialog) {
        ChooseFile(dialog, Path("zeros.bin"));
        dialog.SetChecked(EncodeDialog::kNoiseBoxId, true);
        EncodeWithPassword(dialog, kPassword, Path("noise.bmp"));
    });
    EXPECT_GT(Engine.Width(), 69);
    Engine.Clear();
    Decode([&](DecodeDialog& dialog) {
        ChooseImage(dialog, Path("noise.bmp"));
        Prompts.AnswerFile(QString::fromStdString(Path("zeros-back.bin")));
        DecodeWithPassword(dialog, kPassword, false);
    });
    ExpectMessages({});
    EXPECT_EQ(test::ReadFile(Path("zeros-back.bin")), zeros);
}

TEST_F(EncodeDecodeEndToEndTest, ShrinkToFitRescalesA100By100ImageTo87By87ForA1000BytePayload)
{
    const std::vector<uint8_t> payload = BytesCompressingTo(1000);
    test::WriteFile(Path("letter.bin"), payload);
    test::WriteBitmap24(Path("holiday.bmp"), 100, 100, 7);
    Encode([&](EncodeDialog& dialog) {
        ChooseFile(dialog, Path("letter.bin"));
        EXPECT_EQ(dialog.ControlText(EncodeDialog::kDataSizeId), QStringLiteral("Data Size : 1000"));
        ChooseImage(dialog, Path("holiday.bmp"));
        dialog.SetChecked(EncodeDialog::kShrinkBoxId, true);
        // 100 x 100 takes at most 100 * 3 * 100 / 3 - 4096 - 1 bytes.
        EXPECT_EQ(dialog.ControlText(EncodeDialog::kFitLineId),
            QStringLiteral("1.0 KB fits: this picture takes at most 5.9 KB. Shrink to fit makes the picture 87 x 87 "
                           "pixels."));
        EncodeWithPassword(dialog, kPassword, Path("shrunk.bmp"));
    });
    ExpectMessages({});
    EXPECT_EQ(Engine.Width(), 87);
    EXPECT_EQ(Engine.Height(), 87);
    // The rescaled container is made in memory: no temporary file at all.
    EXPECT_FALSE(test::Exists(PrivateTemp() + "holiday.bmp"));

    Engine.Clear();
    Decode([&](DecodeDialog& dialog) {
        ChooseImage(dialog, Path("shrunk.bmp"));
        EXPECT_EQ(Engine.Width(), 87);
        Prompts.AnswerFile(QString::fromStdString(Path("letter-back.bin")));
        DecodeWithPassword(dialog, kPassword, false);
    });
    EXPECT_EQ(test::ReadFile(Path("letter-back.bin")), payload);
}

// The fit is judged as soon as payload and picture are both chosen: in
// units, with what would make it fit, and Ok disabled until it does.
TEST_F(EncodeDecodeEndToEndTest, APayloadThatDoesNotFitIsSaidAtOnceAndOkWaitsUntilItFits)
{
    // 120 x 90 takes at most 120 * 3 * 90 / 3 - 4096 - 1 = 6703 bytes.
    test::WriteBitmap24(Path("small.bmp"), 120, 90, 30);
    test::WriteBitmap24(Path("large.bmp"), 400, 300, 31);
    const std::vector<uint8_t> payload = BytesCompressingTo(8000);
    test::WriteFile(Path("big.bin"), payload);
    Encode([&](EncodeDialog& dialog) {
        ChooseFile(dialog, Path("big.bin"));
        EXPECT_TRUE(dialog.Button(kIdOk)->isEnabled());
        ChooseImage(dialog, Path("small.bmp"));
        EXPECT_EQ(dialog.ControlText(EncodeDialog::kFitLineId),
            QStringLiteral("8.0 KB does not fit: this picture takes at most 6.7 KB. Tick Pure Noise Image, or "
                           "choose a larger picture."));
        EXPECT_FALSE(dialog.Button(kIdOk)->isEnabled());
        dialog.SetChecked(EncodeDialog::kNoiseBoxId, true);
        EXPECT_EQ(dialog.ControlText(EncodeDialog::kFitLineId),
            QStringLiteral("8.0 KB fits: the pure noise image is made to its size."));
        EXPECT_TRUE(dialog.Button(kIdOk)->isEnabled());
        dialog.SetChecked(EncodeDialog::kNoiseBoxId, false);
        EXPECT_FALSE(dialog.Button(kIdOk)->isEnabled());
        ChooseImage(dialog, Path("large.bmp"));
        EXPECT_EQ(dialog.ControlText(EncodeDialog::kFitLineId),
            QStringLiteral("8.0 KB fits: this picture takes at most 116 KB."));
        EXPECT_TRUE(dialog.Button(kIdOk)->isEnabled());
        EncodeWithPassword(dialog, kPassword, Path("large-encoded.bmp"));
    });
    ExpectMessages({});
    ASSERT_TRUE(test::Exists(Path("large-encoded.bmp")));
}

// Zeros pack small, but a decode restores at most 20 x Capacity(5) bytes.
TEST_F(EncodeDecodeEndToEndTest, AnUnpackedSizeBeyondWhatADecodeRestoresDoesNotFit)
{
    test::WriteBitmap24(Path("small.bmp"), 120, 90, 32);
    test::WriteFile(Path("zeros.bin"), std::vector<uint8_t>(2000000, 0));
    Encode([&](EncodeDialog& dialog) {
        ChooseImage(dialog, Path("small.bmp"));
        ChooseFile(dialog, Path("zeros.bin"));
        const QString shown = dialog.ControlText(EncodeDialog::kFitLineId);
        EXPECT_TRUE(shown.startsWith(
            QStringLiteral("2.0 MB unpacked does not fit: a decode of this picture restores at most ")))
            << shown.toStdString();
        EXPECT_FALSE(dialog.Button(kIdOk)->isEnabled());
    });
    ExpectMessages({});
}

TEST_F(EncodeDecodeEndToEndTest, QuizlockQuestionsSetWhenEncodingAreAnsweredWhenDecoding)
{
    const Quiz quiz { QStringLiteral("In which country did we meet?"), QStringLiteral("Europe"),
        QStringLiteral("Portugal") };
    test::WriteBitmap24(Path("beach.bmp"), 120, 90, 9);
    Encode([&](EncodeDialog& dialog) {
        ChooseImage(dialog, Path("beach.bmp"));
        TypeText(dialog, QStringLiteral("The key is under the blue pot."));
        EncodeWithQuestion(dialog, quiz, Path("beach-encoded.bmp"));
    });
    ExpectMessages({});

    Engine.Clear();
    std::optional<QString> shown;
    Decode([&](DecodeDialog& dialog) {
        ChooseImage(dialog, Path("beach-encoded.bmp"));
        // Only the answer dialog shows: the password dialog never appears.
        OnDialog answers(QStringLiteral("Quizlock"), [&](TemplateDialog& list) {
            EXPECT_EQ(list.ControlText(FirstAnswerQuestionId), quiz.Question);
            EXPECT_FALSE(list.Control(FirstAnswerQuestionId + 1)->isVisible());
            OnDialog question(QStringLiteral("Question #1"), [&](TemplateDialog& slot) {
                EXPECT_EQ(slot.ControlText(QuestionComboId), quiz.Question);
                EXPECT_EQ(slot.ControlText(HintEditId), quiz.Hint);
                slot.SetControlText(AnswerEditId, quiz.Answer);
                slot.Button(kIdOk)->click();
            });
            list.Button(FirstAnswerButtonId)->click();
            EXPECT_TRUE(question.Done());
            EXPECT_EQ(list.ControlText(QuizlockAnswerDialog::kFirstStatusId), QStringLiteral("Answered"));
            list.Button(kIdOk)->click();
        });
        OnDialog display(kDisplayCaption, [&](TemplateDialog& text) {
            shown = text.ControlText(TextEditId);
            text.Button(kIdCancel)->click();
        });
        dialog.Button(kIdOk)->click();
        EXPECT_TRUE(answers.Done());
    });
    ExpectMessages({});
    EXPECT_EQ(shown, QStringLiteral("The key is under the blue pot."));
}

// The size line shows the sealed payload the container was checked for: the
// envelope's 64 bytes and its compression on top of the text's stream.
TEST_F(EncodeDecodeEndToEndTest, SealedTextOpensWithThePasswordAndAWrongOneGetsTheUsualWarning)
{
    const QString text = QStringLiteral("Sealed: the key costs an Argon2id per guess.");
    test::WriteBitmap24(Path("mill.bmp"), 64, 80, 3);
    Encode([&](EncodeDialog& dialog) {
        ChooseImage(dialog, Path("mill.bmp"));
        TypeText(dialog, text);
        const size_t plain = CompressPayload(text.toStdString())->size();
        EXPECT_EQ(dialog.ControlText(EncodeDialog::kDataSizeId), DataSizeText(plain));
        EncodeWithPassword(dialog, kPassword, Path("sealed.bmp"), true);
        const QString shown = dialog.ControlText(EncodeDialog::kDataSizeId);
        EXPECT_GE(shown.mid(shown.lastIndexOf(QLatin1Char(' ')) + 1).toULongLong(), plain + 64) << shown.toStdString();
    });
    ExpectMessages({});
    Engine.Clear();
    Decode([&](DecodeDialog& dialog) {
        ChooseImage(dialog, Path("sealed.bmp"));
        EXPECT_EQ(DecodeWithPassword(dialog, kPassword), text);
    });
    ExpectMessages({});
    Engine.Clear();
    Decode([&](DecodeDialog& dialog) {
        ChooseImage(dialog, Path("sealed.bmp"));
        EXPECT_EQ(DecodeWithPassword(dialog, QStringLiteral("correct horsE"), false), std::nullopt);
    });
    ExpectMessages({ { kNothingDecoded, MessageIcon::Exclamation } });
}

// A wrong password is warned of and the dialog stays, so the right one can
// be tried at once.
TEST_F(EncodeDecodeEndToEndTest, WrongPasswordWarnsAndKeepsTheDialogOpenForAnotherTry)
{
    test::WriteBitmap24(Path("mill.bmp"), 64, 64, 10);
    Encode([&](EncodeDialog& dialog) {
        ChooseImage(dialog, Path("mill.bmp"));
        TypeText(dialog, QStringLiteral("secret"));
        EncodeWithPassword(dialog, kPassword, Path("mill-encoded.bmp"));
    });
    Engine.Clear();
    Decode([&](DecodeDialog& dialog) {
        ChooseImage(dialog, Path("mill-encoded.bmp"));
        EXPECT_EQ(DecodeWithPassword(dialog, QStringLiteral("wrong horse"), false), std::nullopt);
        EXPECT_TRUE(dialog.isVisible());
        ExpectMessages({ { kNothingDecoded, MessageIcon::Exclamation } });
        EXPECT_EQ(DecodeWithPassword(dialog, kPassword), QStringLiteral("secret"));
        EXPECT_FALSE(dialog.isVisible());
    });
    ExpectMessages({});
}

TEST_F(EncodeDecodeEndToEndTest, AnImageHoldingNoDataWarnsAndKeepsTheDialogOpen)
{
    test::WriteBitmap24(Path("plain.bmp"), 64, 64, 11);
    Decode([&](DecodeDialog& dialog) {
        ChooseImage(dialog, Path("plain.bmp"));
        DecodeWithPassword(dialog, kPassword, false);
        EXPECT_TRUE(dialog.isVisible());
    });
    ExpectMessages({ { kNothingDecoded, MessageIcon::Exclamation } });
}

TEST_F(EncodeDecodeEndToEndTest, DecodeRightAfterAnEncodeUsesTheContainerTheEncodeLeft)
{
    test::WriteBitmap24(Path("mill.bmp"), 64, 64, 12);
    Encode([&](EncodeDialog& dialog) {
        ChooseImage(dialog, Path("mill.bmp"));
        TypeText(dialog, QStringLiteral("no image chosen twice"));
        // The encoded image is not saved, but stays the container.
        EncodeWithPassword(dialog, kPassword, std::nullopt);
    });
    Decode([&](DecodeDialog& dialog) {
        EXPECT_EQ(DecodeWithPassword(dialog, kPassword), QStringLiteral("no image chosen twice"));
    });
    ExpectMessages({});
    EXPECT_FALSE(test::Exists(Path("mill-encoded.bmp")));
}

TEST_F(EncodeDecodeEndToEndTest, EmptyTypedTextIsAnEightByteStreamAndRoundTrips)
{
    test::WriteBitmap24(Path("mill.bmp"), 64, 64, 13);
    Encode([&](EncodeDialog& dialog) {
        ChooseImage(dialog, Path("mill.bmp"));
        TypeText(dialog, QString());
        EXPECT_EQ(dialog.ControlText(EncodeDialog::kDataSizeId), QStringLiteral("Data Size : 8"));
        EncodeWithPassword(dialog, kPassword, Path("empty.bmp"));
    });
    Engine.Clear();
    Decode([&](DecodeDialog& dialog) {
        ChooseImage(dialog, Path("empty.bmp"));
        EXPECT_EQ(DecodeWithPassword(dialog, kPassword), QString());
    });
    ExpectMessages({});
}

TEST_F(EncodeDecodeEndToEndTest, TypedTextShowsThePreviousTextUnlessAFileWasChosenSince)
{
    test::WriteFile(Path("a.txt"), { 'a' });
    Encode([&](EncodeDialog& dialog) {
        EXPECT_EQ(TypeText(dialog, QStringLiteral("first words")), QString());
        EXPECT_EQ(TypeText(dialog, QStringLiteral("second words")), QStringLiteral("first words"));
        EXPECT_EQ(TypeText(dialog, QStringLiteral("third")), QStringLiteral("second words"));
        ChooseFile(dialog, Path("a.txt"));
        EXPECT_EQ(TypeText(dialog, QStringLiteral("fourth")), QString());
    });
    ExpectMessages({});
}

TEST_F(EncodeDecodeEndToEndTest, CancelledTypedTextKeepsThePayload)
{
    Encode([&](EncodeDialog& dialog) {
        TypeText(dialog, QStringLiteral("kept"));
        const QString size = dialog.ControlText(EncodeDialog::kDataSizeId);
        OnDialog entry(kEntryCaption, [&](TemplateDialog& text) {
            text.SetControlText(TextEditId, QStringLiteral("discarded"));
            text.Button(kIdCancel)->click();
        });
        dialog.Button(EncodeDialog::kTypedTextButtonId)->click();
        EXPECT_EQ(dialog.ControlText(EncodeDialog::kDataSizeId), size);
        EXPECT_EQ(TypeText(dialog, QStringLiteral("kept")), QStringLiteral("kept"));
    });
}

TEST_F(EncodeDecodeEndToEndTest, OkWithoutPayloadOrContainerStopsAndKeepsTheDialogOpen)
{
    test::WriteBitmap24(Path("mill.bmp"), 64, 64, 14);
    test::WriteBitmap8(Path("grey.bmp"), 64, 64);
    Encode([&](EncodeDialog& dialog) {
        // No payload: even with a container loaded.
        ChooseImage(dialog, Path("mill.bmp"));
        dialog.Button(kIdOk)->click();
        EXPECT_TRUE(dialog.isVisible());
        ExpectMessages({ { kNoData, MessageIcon::Stop } });
        // An 8-bit image can be previewed but not encoded into.
        TypeText(dialog, QStringLiteral("words"));
        ChooseImage(dialog, Path("grey.bmp"));
        EXPECT_EQ(dialog.ControlText(EncodeDialog::kMaxSizeId), QStringLiteral("Max Size : 0"));
        dialog.Button(EncodeDialog::kPreviewButtonId)->click();
        EXPECT_TRUE(dialog.Preview()->isVisible());
        dialog.Button(kIdOk)->click();
        EXPECT_TRUE(dialog.isVisible());
        ExpectMessages({ { kEightBitChosen, MessageIcon::Stop } });
    });
    EXPECT_FALSE(Engine.IsUsableContainer());
}

TEST_F(EncodeDecodeEndToEndTest, PreviewWithoutAnImageSaysInvalidImage)
{
    test::WriteFile(Path("not-a-bitmap.bmp"), { 'h', 'e', 'l', 'l', 'o' });
    Encode([&](EncodeDialog& dialog) {
        dialog.Button(EncodeDialog::kPreviewButtonId)->click();
        ChooseImage(dialog, Path("not-a-bitmap.bmp"));
        dialog.Button(EncodeDialog::kPreviewButtonId)->click();
        EXPECT_FALSE(dialog.Preview()->isVisible());
        TypeText(dialog, QStringLiteral("words"));
        dialog.Button(kIdOk)->click();
    });
    ExpectMessages({ { QStringLiteral("Invalid image"), MessageIcon::Exclamation },
        { QStringLiteral("Invalid image"), MessageIcon::Exclamation }, { kNoPictureChosen, MessageIcon::Stop } });
}

TEST_F(EncodeDecodeEndToEndTest, MaxSizeShowsTheRatedCapacityAndOtherwiseZero)
{
    struct Case {
        const char* Name;
        std::function<void(const std::string&)> Write;
        const char* Shown;
    };
    const Case cases[] = {
        { "640x480", [](const std::string& p) { test::WriteBitmap24(p, 640, 480, 15); }, "Max Size : 303104" },
        // Rated although Ok refuses it.
        { "8-bit", [](const std::string& p) { test::WriteBitmap8(p, 640, 480); }, "Max Size : 303104" },
        { "not a bitmap",
            [](const std::string& p) {
                test::WriteFile(p, { 'B', 'M', 0 });
            },
            "Max Size : 0" },
        // 50 x 50 slots are fewer than the 4096 the capacity keeps back.
        { "tiny", [](const std::string& p) { test::WriteBitmap24(p, 50, 50, 16); }, "Max Size : 0" },
    };
    Encode([&](EncodeDialog& dialog) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.Name);
            const std::string path = Path(c.Name) + ".bmp";
            c.Write(path);
            ChooseImage(dialog, path);
            EXPECT_EQ(dialog.ControlText(EncodeDialog::kMaxSizeId), QString::fromUtf8(c.Shown));
        }
    });
}

// Cancelling the password step returns to the encode dialog with the
// payload, the container and both boxes as they were; Ok then encodes them.
TEST_F(EncodeDecodeEndToEndTest, CancelledPasswordReturnsToTheEncodeDialogWithEverythingKept)
{
    test::WriteBitmap24(Path("mill.bmp"), 64, 64, 17);
    Encode([&](EncodeDialog& dialog) {
        ChooseImage(dialog, Path("mill.bmp"));
        TypeText(dialog, QStringLiteral("words"));
        dialog.SetChecked(EncodeDialog::kShrinkBoxId, true);
        const QString size = dialog.ControlText(EncodeDialog::kDataSizeId);
        OnDialog passwordStep(kPasswordCaption, [](TemplateDialog& step) { step.Button(kIdCancel)->click(); });
        dialog.Button(kIdOk)->click();
        EXPECT_TRUE(passwordStep.Done());
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.ControlText(EncodeDialog::kDataSizeId), size);
        EXPECT_TRUE(dialog.IsChecked(EncodeDialog::kShrinkBoxId));
        EXPECT_EQ(dialog.ControlText(EncodeDialog::kChosenPayloadId), QStringLiteral("Encoding: typed text"));
        EncodeWithPassword(dialog, kPassword, Path("mill-encoded.bmp"));
        EXPECT_FALSE(dialog.isVisible());
    });
    ExpectMessages({});
    Engine.Clear();
    Decode([&](DecodeDialog& dialog) {
        ChooseImage(dialog, Path("mill-encoded.bmp"));
        EXPECT_EQ(DecodeWithPassword(dialog, kPassword), QStringLiteral("words"));
    });
}

// A failed save is reported and the save prompt comes back on the same
// folder and name, until the image is written or the user cancels.
TEST_F(EncodeDecodeEndToEndTest, AFailedSaveAsksAgainUntilSavedOrCancelled)
{
    struct Case {
        const char* Name;
        // Answers to the prompts that follow each failure; nothing cancels.
        std::vector<std::optional<std::string>> Retries;
        bool Saved;
    };
    const std::string target = Path("no-such-folder") + "/out.bmp";
    const std::string good = Path("out-at-last.bmp");
    const Case cases[] = {
        { "cancelled after the failure", { std::nullopt }, false },
        { "saved on the third try", { target, good }, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        test::WriteBitmap24(Path("mill.bmp"), 64, 64, 18);
        std::deque<std::optional<std::string>> retries(c.Retries.begin(), c.Retries.end());
        Prompts.OnMessage = [&](const test::ShownMessage&) {
            ASSERT_FALSE(retries.empty());
            const std::optional<std::string> next = retries.front();
            retries.pop_front();
            Prompts.AnswerFile(next ? std::optional<QString>(QString::fromStdString(*next)) : std::nullopt);
        };
        Prompts.FileRequests.clear();
        Encode([&](EncodeDialog& dialog) {
            ChooseImage(dialog, Path("mill.bmp"));
            TypeText(dialog, QStringLiteral("words"));
            EncodeWithPassword(dialog, kPassword, target);
        });
        Prompts.OnMessage = nullptr;
        // The system's reason, as a decoded file's failed save gives it.
        const std::pair<QString, MessageIcon> failed {
            QStringLiteral("Could not write %1: No such file or directory.").arg(QString::fromStdString(target)),
            MessageIcon::Exclamation
        };
        ExpectMessages(std::vector(c.Retries.size(), failed));
        // The open prompt for the image, the first save prompt, then one per failure.
        ASSERT_EQ(Prompts.FileRequests.size(), 2 + c.Retries.size());
        for (size_t i = 2; i < Prompts.FileRequests.size(); ++i) {
            EXPECT_TRUE(Prompts.FileRequests[i].Save);
            EXPECT_EQ(Prompts.FileRequests[i].Options.InitialName, QString::fromStdString(target));
            EXPECT_EQ(Prompts.FileRequests[i].Options.DefaultExtension, QStringLiteral("png"));
        }
        EXPECT_FALSE(test::Exists(target));
        EXPECT_EQ(test::Exists(good), c.Saved);
    }
    Engine.Clear();
    Decode([&](DecodeDialog& dialog) {
        ChooseImage(dialog, good);
        EXPECT_EQ(DecodeWithPassword(dialog, kPassword), QStringLiteral("words"));
    });
}

TEST_F(EncodeDecodeEndToEndTest, DecodeWithoutAUsableImageStopsAndKeepsTheDialogOpen)
{
    test::WriteBitmap24(Path("mill.bmp"), 64, 64, 19);
    test::WriteBitmap8(Path("grey.bmp"), 64, 64);
    test::WriteFile(Path("not-a-bitmap.bmp"), { 'h', 'i' });
    Decode([&](DecodeDialog& dialog) {
        // Right after start-up: nothing loaded.
        dialog.Button(DecodeDialog::kPreviewButtonId)->click();
        dialog.Button(kIdOk)->click();
        EXPECT_TRUE(dialog.isVisible());
        ExpectMessages(
            { { QStringLiteral("No image selected."), MessageIcon::Stop }, { kNoContainer, MessageIcon::Stop } });

        // An 8-bit image is shown but not decoded.
        ChooseImage(dialog, Path("grey.bmp"));
        dialog.Button(DecodeDialog::kPreviewButtonId)->click();
        EXPECT_TRUE(dialog.Preview()->isVisible());
        dialog.Button(kIdOk)->click();
        EXPECT_TRUE(dialog.isVisible());
        ExpectMessages({ { kEightBitToDecode, MessageIcon::Stop } });

        // A file that is not a bitmap replaces a good image loaded before.
        ChooseImage(dialog, Path("mill.bmp"));
        ChooseImage(dialog, Path("not-a-bitmap.bmp"));
        dialog.Button(DecodeDialog::kPreviewButtonId)->click();
        dialog.Button(kIdOk)->click();
        EXPECT_TRUE(dialog.isVisible());
        ExpectMessages(
            { { QStringLiteral("No image selected."), MessageIcon::Stop }, { kNoPictureToDecode, MessageIcon::Stop } });
    });
}

TEST_F(EncodeDecodeEndToEndTest, CancelledPasswordKeepsTheDecodeDialogOpenAndDecodeStartsOver)
{
    const Quiz quiz { QStringLiteral("Who is this photo of?"), QStringLiteral("Optional"), QStringLiteral("Aunt May") };
    test::WriteBitmap24(Path("photo.bmp"), 80, 80, 20);
    Encode([&](EncodeDialog& dialog) {
        ChooseImage(dialog, Path("photo.bmp"));
        TypeText(dialog, QStringLiteral("asked twice"));
        EncodeWithQuestion(dialog, quiz, Path("photo-encoded.bmp"));
    });
    Engine.Clear();
    std::optional<QString> shown;
    Decode([&](DecodeDialog& dialog) {
        ChooseImage(dialog, Path("photo-encoded.bmp"));
        OnDialog cancelled(QStringLiteral("Quizlock"), [](TemplateDialog& list) { list.Button(kIdCancel)->click(); });
        dialog.Button(kIdOk)->click();
        EXPECT_TRUE(cancelled.Done());
        EXPECT_TRUE(dialog.isVisible());
        // The header is read again: the question is asked again.
        OnDialog answers(QStringLiteral("Quizlock"), [&](TemplateDialog& list) {
            EXPECT_EQ(list.ControlText(FirstAnswerQuestionId), quiz.Question);
            OnDialog question(QStringLiteral("Question #1"), [&](TemplateDialog& slot) {
                slot.SetControlText(AnswerEditId, quiz.Answer);
                slot.Button(kIdOk)->click();
            });
            list.Button(FirstAnswerButtonId)->click();
            list.Button(kIdOk)->click();
        });
        OnDialog display(kDisplayCaption, [&](TemplateDialog& text) {
            shown = text.ControlText(TextEditId);
            text.Button(kIdCancel)->click();
        });
        dialog.Button(kIdOk)->click();
        EXPECT_FALSE(dialog.isVisible());
    });
    ExpectMessages({});
    EXPECT_EQ(shown, QStringLiteral("asked twice"));
}

// A decoded file that was not written is not lost: a cancelled prompt leaves
// the dialog open, so Decode again can put it somewhere; a folder that
// cannot be written brings the prompt back at once for another.
TEST_F(EncodeDecodeEndToEndTest, DecodedFileNotWrittenKeepsTheDialogOpenForAnotherFolder)
{
    test::WriteFile(Path("plan.bin"), test::SomeBytes(200, 23));
    test::WriteBitmap24(Path("mill.bmp"), 96, 96, 24);
    Encode([&](EncodeDialog& dialog) {
        ChooseImage(dialog, Path("mill.bmp"));
        ChooseFile(dialog, Path("plan.bin"));
        EncodeWithPassword(dialog, kPassword, Path("mill-encoded.bmp"));
    });
    struct Case {
        const char* Name;
        std::optional<std::string> Target;
        std::vector<std::pair<QString, MessageIcon>> Messages;
        // The save prompt comes back at once: the decoded file is still held.
        bool AskedAgain;
    };
    const Case cases[] = {
        // Cancelling the prompt writes nothing, anywhere, and says nothing.
        { "cancelled", std::nullopt, {}, false },
        // One box from the run, none after it from the dialog: the file
        // could not be written, and why (not the wrong-key message).
        { "unwritable", Path("no-such-folder") + "/plan.bin",
            { { QString::fromStdString(
                    "Could not write " + Path("no-such-folder") + "/plan.bin: No such file or directory."),
                MessageIcon::Stop } },
            true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Decode([&](DecodeDialog& dialog) {
            ChooseImage(dialog, Path("mill-encoded.bmp"));
            Prompts.AnswerFile(c.Target ? std::optional<QString>(QString::fromStdString(*c.Target)) : std::nullopt);
            if (c.AskedAgain)
                Prompts.AnswerFile(QString::fromStdString(Path("plan-back.bin")));
            DecodeWithPassword(dialog, kPassword, false);
            EXPECT_EQ(dialog.isVisible(), !c.AskedAgain);
            ExpectMessages(c.Messages);
            if (!c.AskedAgain) {
                Prompts.AnswerFile(QString::fromStdString(Path("plan-back.bin")));
                DecodeWithPassword(dialog, kPassword, false);
                EXPECT_FALSE(dialog.isVisible());
            }
        });
        ExpectMessages({});
        EXPECT_TRUE(Prompts.FileAnswers.empty());
        EXPECT_EQ(test::ReadFile(Path("plan-back.bin")), test::ReadFile(Path("plan.bin")));
    }
    // Not under its stored name in the current folder either.
    EXPECT_FALSE(test::Exists("plan.bin"));
}

// The same container, payload, key and options give the same image file
// from the dialogs as from lumaquill-cli: both go through the same flows.
TEST_F(EncodeDecodeEndToEndTest, DialogsWriteTheSameImageAsTheCommandLineTool)
{
    const QString text = QStringLiteral("Meet me by the old mill at nine.");
    test::WriteBitmap24(Path("odd.bmp"), 73, 59, 21);
    test::PngLayout png;
    png.Width = 73;
    png.Height = 59;
    png.ColourType = 6;
    png.Sample = [](uint32_t x, uint32_t y, uint32_t c) { return (x * 9 + y * 4 + c * 77) & 0xFF; };
    const std::string pngBytes = test::BuildPng(png);
    test::WriteFile(Path("odd.png"), std::vector<uint8_t>(pngBytes.begin(), pngBytes.end()));
    test::WriteFile(Path("plan.bin"), test::SomeBytes(150, 22));
    struct Case {
        const char* Name;
        bool File;
        bool Noise;
        const char* Cover;
        const char* Extension;
    };
    const Case cases[] = {
        { "password-text", false, false, "odd.bmp", ".bmp" },
        { "password-file", true, false, "odd.bmp", ".bmp" },
        { "noise-file", true, true, "odd.bmp", ".bmp" },
        { "png-cover-png", false, false, "odd.png", ".png" },
        { "png-cover-webp", true, false, "odd.png", ".webp" },
        { "png-cover-bmp", false, false, "odd.png", ".bmp" },
        { "bmp-cover-png", true, false, "odd.bmp", ".png" },
        { "noise-webp", false, true, "odd.bmp", ".webp" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string gui = Path(c.Name) + "-gui" + c.Extension;
        const std::string cli = Path(c.Name) + "-cli" + c.Extension;
        Encode([&](EncodeDialog& dialog) {
            if (!c.Noise)
                ChooseImage(dialog, Path(c.Cover));
            if (c.File)
                ChooseFile(dialog, Path("plan.bin"));
            else
                TypeText(dialog, text);
            dialog.SetChecked(EncodeDialog::kNoiseBoxId, c.Noise);
            EncodeWithPassword(dialog, kPassword, gui);
        });
        std::vector<std::string> args { "encode", "--out", cli, "--password", kPassword.toStdString(), "--speed", "0" };
        if (c.Noise)
            args.insert(args.end(), { "--noise" });
        else
            args.insert(args.end(), { "--container", Path(c.Cover) });
        if (c.File)
            args.insert(args.end(), { "--file", Path("plan.bin") });
        else
            args.insert(args.end(), { "--text", text.toStdString() });
        ASSERT_EQ(test::RunCli(args), 0) << test::CliExecutable();
        const std::vector<uint8_t> written = test::ReadFile(gui);
        EXPECT_FALSE(written.empty());
        EXPECT_TRUE(written == test::ReadFile(cli));
    }
    ExpectMessages({});
}

// A cancelled encode shows nothing, offers nothing to save and keeps the
// dialog; the next Ok in it gives the very bytes of an encode never
// cancelled, as the cover was put back.
TEST_F(EncodeDecodeEndToEndTest, ACancelledEncodeWritesNothingAndTheNextEncodeIsUnaffected)
{
    const std::vector<uint8_t> payload = test::SomeBytes(5003, 3);
    test::WriteFile(Path("plans.bin"), payload);
    test::WriteBitmap24(Path("harbour.bmp"), 151, 97, 4);
    const size_t requestsBefore = Prompts.FileRequests.size();
    Encode([&](EncodeDialog& dialog) {
        ChooseFile(dialog, Path("plans.bin"));
        ChooseImage(dialog, Path("harbour.bmp"));
        const QString capacity = dialog.ControlText(EncodeDialog::kMaxSizeId);
        {
            CancelAtFirstProgress canceller;
            OnDialog passwordStep(kPasswordCaption, [&](TemplateDialog& step) {
                step.SetControlText(PasswordEditId, kPassword);
                step.SetControlText(ConfirmationEditId, kPassword);
                step.Button(kIdOk)->click();
            });
            OnDialog save(kEncodedPreviewCaption, [&](TemplateDialog& preview) { preview.reject(); });
            dialog.Button(kIdOk)->click();
            EXPECT_TRUE(passwordStep.Done());
            EXPECT_FALSE(save.Done());
            EXPECT_EQ(canceller.Pressed, 1);
        }
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(Engine.Cancelled, true);
        EXPECT_EQ(dialog.ControlText(EncodeDialog::kMaxSizeId), capacity);
        ExpectMessages({});
        EXPECT_EQ(Prompts.FileRequests.size(), requestsBefore + 2);
        EncodeWithPassword(dialog, kPassword, Path("after-cancel.bmp"));
    });
    ExpectMessages({});
    Engine.Clear();
    Encode([&](EncodeDialog& dialog) {
        ChooseFile(dialog, Path("plans.bin"));
        ChooseImage(dialog, Path("harbour.bmp"));
        EncodeWithPassword(dialog, kPassword, Path("never-cancelled.bmp"));
    });
    ExpectMessages({});
    ASSERT_TRUE(test::Exists(Path("after-cancel.bmp")));
    EXPECT_EQ(test::ReadFile(Path("after-cancel.bmp")), test::ReadFile(Path("never-cancelled.bmp")));
    EXPECT_NE(test::ReadFile(Path("after-cancel.bmp")), test::ReadFile(Path("harbour.bmp")));
}

// A cancelled decode stops before its save prompt: no file, no message, and
// the dialog stays open for a decode that then delivers.
TEST_F(EncodeDecodeEndToEndTest, ACancelledDecodeAsksForNoFileAndWritesNone)
{
    const std::vector<uint8_t> payload = test::SomeBytes(4001, 5);
    test::WriteFile(Path("ledger.bin"), payload);
    test::WriteBitmap24(Path("field.bmp"), 120, 90, 6);
    Encode([&](EncodeDialog& dialog) {
        ChooseFile(dialog, Path("ledger.bin"));
        ChooseImage(dialog, Path("field.bmp"));
        EncodeWithPassword(dialog, kPassword, Path("field-encoded.bmp"));
    });
    ExpectMessages({});
    Engine.Clear();
    Decode([&](DecodeDialog& dialog) {
        ChooseImage(dialog, Path("field-encoded.bmp"));
        const size_t requestsBefore = Prompts.FileRequests.size();
        {
            CancelAtFirstProgress canceller;
            EXPECT_EQ(DecodeWithPassword(dialog, kPassword, false), std::nullopt);
            EXPECT_EQ(canceller.Pressed, 1);
        }
        EXPECT_TRUE(dialog.isVisible());
        ExpectMessages({});
        EXPECT_EQ(Prompts.FileRequests.size(), requestsBefore);
        EXPECT_TRUE(QDir(Scratch.path()).entryList({ QStringLiteral("*.bin") }, QDir::Files).size() == 1);
        Prompts.AnswerFile(QString::fromStdString(Path("ledger-back.bin")));
        EXPECT_EQ(DecodeWithPassword(dialog, kPassword, false), std::nullopt);
        EXPECT_FALSE(dialog.isVisible());
    });
    ExpectMessages({});
    EXPECT_EQ(test::ReadFile(Path("ledger-back.bin")), payload);
}

// One kind of stealth image: a lossless cover gives a lossless stealth
// image, a JPEG cover a stealth JPEG, in the dialogs as in lumaquill-cli.
struct StealthCase {
    const char* Name;
    // The cover's file name; a .jpg is made with libjpeg-turbo.
    const char* Cover;
    // The output's extension, which the Save As prompt offers first.
    const char* Extension;
    const char* SaveFilterStart;
};

class StealthEndToEndTest : public EncodeDecodeEndToEndTest, public testing::WithParamInterface<StealthCase> {
protected:
    bool Jpeg() const { return std::string(GetParam().Extension) == "jpg"; }

    void WriteCover(const std::string& path)
    {
        if (!Jpeg()) {
            test::WriteBitmap24(path, 256, 192, 32);
            return;
        }
        test::JpegRecipe recipe;
        recipe.Width = 640;
        recipe.Height = 480;
        recipe.Quality = 90;
        test::WriteFile(path, test::MakeJpeg(recipe));
    }

    static stealth::StealthSizes SizesOf(const std::string& cover)
    {
        StegFlows probe;
        EXPECT_TRUE(probe.LoadCover(cover));
        return probe.StealthSizes(EncodeRequest());
    }

    // The stealth decode alone opens it.
    bool OpensAsStealth(const std::string& path) const
    {
        StegEngine reader;
        EXPECT_TRUE(reader.LoadContainer(path));
        std::string holder;
        const SecretBytes password(kPassword.toStdString());
        if (!Jpeg())
            return RunStealthDecode(reader, password, holder) != NothingDecoded;
        const std::vector<uint8_t> file = test::ReadFile(path);
        return RunStealthJpegDecode(reader, file, password, holder) != NothingDecoded;
    }

    std::string Output(const std::string& base) const { return Path((base + "." + GetParam().Extension).c_str()); }

    // The last save prompt offered the output's format first, and its
    // extension for a name typed without one.
    void ExpectSavePromptOfTheOutput() const
    {
        ASSERT_FALSE(Prompts.FileRequests.empty());
        const test::FileRequest& request = Prompts.FileRequests.back();
        EXPECT_TRUE(request.Save);
        EXPECT_TRUE(request.Options.Filter.startsWith(QString::fromUtf8(GetParam().SaveFilterStart)))
            << request.Options.Filter.toStdString();
        EXPECT_EQ(request.Options.DefaultExtension, QString::fromUtf8(GetParam().Extension));
    }
};

// A stealth image made in the dialogs is a stealth image (the stealth
// decode alone opens it) and opens in the decode dialog and in
// lumaquill-cli; one made by lumaquill-cli encode --stealth opens in the
// decode dialog. The salt is random, so the two files differ; what must
// agree is that either front end reads the other's.
TEST_P(StealthEndToEndTest, StealthImagesFromTheDialogsAndTheCommandLineOpenInBoth)
{
    const QString text = QStringLiteral("Meet me by the old mill at nine.");
    const std::string cover = Path(GetParam().Cover);
    WriteCover(cover);
    const stealth::StealthSizes sizes = SizesOf(cover);
    ASSERT_GT(sizes.Safe, 200u);
    const std::vector<uint8_t> plan = test::SomeBytes(150, 31);
    test::WriteFile(Path("plan.bin"), plan);
    QString maxSizeLine;
    Encode([&](EncodeDialog& dialog) {
        ChooseImage(dialog, cover);
        ChooseFile(dialog, Path("plan.bin"));
        dialog.SetChecked(EncodeDialog::kStealthBoxId, true);
        maxSizeLine = dialog.ControlText(EncodeDialog::kMaxSizeId);
        EncodeWithPassword(dialog, kPassword, Output("stealth-gui"));
    });
    ExpectMessages({});
    ExpectSavePromptOfTheOutput();
    EXPECT_EQ(maxSizeLine, QStringLiteral("Max Size : %1").arg(sizes.Largest));
    ASSERT_TRUE(test::Exists(Output("stealth-gui")));
    if (Jpeg()) {
        const std::vector<uint8_t> written = test::ReadFile(Output("stealth-gui"));
        ASSERT_GE(written.size(), 2u);
        EXPECT_EQ(written[0], 0xFF);
        EXPECT_EQ(written[1], 0xD8);
    }

    // Above the safe size the run warns, once: the dialog's line says it
    // too, but no message box of the dialog repeats it.
    test::WriteFile(Path("larger.bin"), test::SomeBytes(size_t(sizes.Safe + sizes.Largest) / 2 - 32, 33));
    uint64_t shownBytes = 0;
    Encode([&](EncodeDialog& dialog) {
        ChooseImage(dialog, cover);
        ChooseFile(dialog, Path("larger.bin"));
        dialog.SetChecked(EncodeDialog::kStealthBoxId, true);
        const QString shown = dialog.ControlText(EncodeDialog::kDataSizeId);
        shownBytes = shown.mid(shown.lastIndexOf(QLatin1Char(' ')) + 1).toULongLong();
        EncodeWithPassword(dialog, kPassword, std::nullopt);
    });
    ASSERT_GT(shownBytes, sizes.Safe);
    ASSERT_LE(shownBytes, sizes.Largest);
    ExpectMessages({ { QString::fromStdString(StealthAboveSafe(shownBytes, sizes)), MessageIcon::Exclamation } });

    EXPECT_TRUE(OpensAsStealth(Output("stealth-gui")));

    Engine.Clear();
    Decode([&](DecodeDialog& dialog) {
        ChooseImage(dialog, Output("stealth-gui"));
        Prompts.AnswerFile(QString::fromStdString(Path("plan-gui.bin")));
        EXPECT_EQ(DecodeWithPassword(dialog, kPassword, false), std::nullopt);
    });
    ExpectMessages({});
    EXPECT_EQ(test::ReadFile(Path("plan-gui.bin")), plan);
    ASSERT_EQ(test::RunCli({ "decode", Output("stealth-gui"), "--password", kPassword.toStdString(), "--out",
                  Path("plan-cli.bin") }),
        0);
    EXPECT_EQ(test::ReadFile(Path("plan-cli.bin")), plan);

    ASSERT_EQ(test::RunCli({ "encode", "--container", cover, "--text", text.toStdString(), "--password",
                  kPassword.toStdString(), "--stealth", "--out", Output("stealth-cli") }),
        0);
    Engine.Clear();
    Decode([&](DecodeDialog& dialog) {
        ChooseImage(dialog, Output("stealth-cli"));
        EXPECT_EQ(DecodeWithPassword(dialog, kPassword), text);
    });
    ExpectMessages({});
}

constexpr StealthCase kStealthCases[] = {
    { "LosslessCover", "photo.bmp", "png", "PNG image (*.png)" },
    { "JpegCover", "photo.jpg", "jpg", "JPEG pictures (*.jpg *.jpeg)" },
};

INSTANTIATE_TEST_SUITE_P(Covers, StealthEndToEndTest, testing::ValuesIn(kStealthCases),
    [](const testing::TestParamInfo<StealthCase>& info) { return std::string(info.param.Name); });

} // namespace
} // namespace lumaquill
