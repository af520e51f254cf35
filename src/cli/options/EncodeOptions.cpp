#include "cli/options/EncodeOptions.h"

#include "cli/options/CliOptions.h"
#include "cli/options/KeyOptions.h"
#include "cli/steps/PictureChoice.h"
#include "flows/KeyEntry.h"
#include "image/PictureFormatTable.h"

#include <array>
#include <string>

namespace lumaquill {

namespace {

constexpr KeyOptions kKeyOptions = KeyOptions::ForEncode();

constexpr auto kEncodeRules = JoinRules(
    std::array {
        OptionRule { "--help", 0, false },
        OptionRule { "--out", 1, false },
        OptionRule { "--container", 1, false },
        OptionRule { "--noise", 0, false },
        OptionRule { "--shrink", 0, false },
        OptionRule { "--text", 1, false },
        OptionRule { "--text-file", 1, false },
        OptionRule { "--file", 1, false },
        OptionRule { "--speed", 1, false },
        OptionRule { "--seal", 0, false },
        OptionRule { "--stealth", 0, false },
        OptionRule { "--force", 0, false },
    },
    kKeyOptions.Rules());

bool TakePayload(const CliOptions& options, EncodeOptions& result, std::string& error)
{
    int given = options.CountGiven({ "--text", "--text-file", "--file" });
    if (given != 1) {
        error = given == 0 ? "nothing to encode: give --text, --text-file or --file"
                           : "give only one of --text, --text-file and --file";
        return false;
    }
    if (options.Has("--text")) {
        result.Kind = EncodeOptions::PayloadKind::Text;
        result.PayloadArg = options.Value("--text");
    } else if (options.Has("--text-file")) {
        result.Kind = EncodeOptions::PayloadKind::TextFile;
        result.PayloadArg = options.Value("--text-file");
    } else {
        result.Kind = EncodeOptions::PayloadKind::File;
        result.PayloadArg = options.Value("--file");
    }
    return true;
}

bool TakeKey(const CliOptions& options, EncodeOptions& result, std::string& error)
{
    std::optional<KeyOptions::Choice> key = kKeyOptions.Take(options, error);
    if (!key)
        return false;
    result.Key = key->Key;
    result.Password = std::move(key->Password);
    for (const std::vector<std::string>& values : key->Questions)
        result.Quizzes.push_back({ values[0], values[1], values[2] });
    // An empty answer would protect the image with nothing at all. An empty
    // question is an unused slot, as in the setup dialog: nothing of it is
    // stored, whatever its hint and answer.
    for (const EncodeOptions::Quiz& quiz : result.Quizzes) {
        if (!quiz.Question.empty() && quiz.Answer.empty()) {
            error = "every --quiz question needs a non-empty answer";
            return false;
        }
    }
    if (result.Quizzes.size() > KeyEntry::kQuestionSlots) {
        error = "at most five --quiz questions";
        return false;
    }
    return true;
}

bool TakeSpeed(const CliOptions& options, EncodeOptions& result, std::string& error)
{
    if (!options.Has("--speed"))
        return true;
    std::string speed = options.Value("--speed");
    if (speed.size() != 1 || speed[0] < '0' || speed[0] > '4') {
        error = "--speed takes 0, 1, 2, 3 or 4";
        return false;
    }
    result.Speed = speed[0] - '0';
    return true;
}

bool TakeContainer(const CliOptions& options, EncodeOptions& result, std::string& error)
{
    result.ContainerPath = options.Value("--container");
    result.Noise = options.Has("--noise");
    result.Shrink = options.Has("--shrink");
    if (!result.Noise && !options.Has("--container")) {
        error = "no container: give --container PICTURE or --noise";
        return false;
    }
    return true;
}

// Quizlock stores each answer's digest readable in the image, which no
// sealing can protect.
bool TakeSeal(const CliOptions& options, EncodeOptions& result, std::string& error)
{
    result.Seal = options.Has("--seal");
    if (result.Seal && result.Key == KeySource::Quiz) {
        error = "--seal protects a password only: Quizlock questions cannot be sealed";
        return false;
    }
    return true;
}

// A stealth image is keyed through Argon2id and needs a photo at its full
// size; a lossy cover is refused once it is loaded.
bool TakeStealth(const CliOptions& options, EncodeOptions& result, std::string& error)
{
    result.Stealth = options.Has("--stealth");
    if (!result.Stealth)
        return true;
    if (result.Key == KeySource::Quiz)
        error = "--stealth protects a password only: Quizlock questions cannot be used";
    else if (result.Noise)
        error = "--stealth needs a photo: a --noise picture is conspicuous in itself";
    else if (result.Shrink)
        error = "--stealth keeps the photo at its full size: leave out --shrink";
    else if (options.Has("--speed"))
        error = "--speed does not apply to --stealth, which strengthens the password with Argon2id";
    return error.empty();
}

bool TakeOut(const CliOptions& options, EncodeOptions& result, std::string& error)
{
    result.OutPath = options.Value("--out");
    result.Force = options.Has("--force");
    if (!options.Has("--out") || result.OutPath.empty()) {
        error = "no output image: give --out OUT.png";
        return false;
    }
    std::optional<PictureFormat> format = options.Has("--stealth")
        ? PictureChoice::StealthOutputFormat(result.OutPath, error)
        : PictureChoice::OutputFormat(result.OutPath, error);
    if (!format)
        return false;
    result.OutFormat = *format;
    return true;
}

bool TakeAll(const CliOptions& options, EncodeOptions& result, std::string& error)
{
    if (!options.Positionals().empty()) {
        error = "unexpected argument \"" + options.Positionals().front() + "\"";
        return false;
    }
    return TakeOut(options, result, error) && TakeContainer(options, result, error)
        && TakePayload(options, result, error) && TakeKey(options, result, error) && TakeSpeed(options, result, error)
        && TakeSeal(options, result, error) && TakeStealth(options, result, error);
}

} // namespace

std::optional<EncodeOptions> EncodeOptions::Parse(const std::vector<std::string>& args, std::string& error)
{
    return CliOptions::ParseCommand(args, kEncodeRules, error, &TakeAll);
}

// The format lists come from the picture-format table, so the text is
// made once, on first use.
const char* EncodeOptions::Usage()
{
    static const std::string text
        = std::string(
              "Usage: lumaquill-cli encode --out OUT.png (--container PICTURE | --noise) [--shrink]\n"
              "                            (--text TEXT | --text-file FILE | --file FILE)\n"
              "                            [--password PW | --password-stdin | --quiz QUESTION HINT ANSWER ...]\n"
              "                            [--speed 0-4] [--seal] [--stealth] [--force]\n"
              "\n"
              "Hides a text or a file in a picture and writes the result to OUT.png.\n"
              "  --out OUT.png        the encoded image: ")
        + PictureFormatTable::SavedExtensionList()
        + " (lossless) by its extension;\n"
          "                       - writes a PNG to standard output; with --stealth and a JPEG\n"
          "                       --container, a .jpg or .jpeg name writes a stealth JPEG\n"
          "  --force              replace an existing OUT (only ever a regular file)\n"
          "  --container PICTURE  the picture to hide the data in: "
        + PictureFormatTable::ReadNameList()
        + "\n"
          "  --noise              make an image of random noise instead (replaces --container)\n"
          "  --shrink             rescale the image to suit the size of the data\n"
          "  --text TEXT          hide this text\n"
          "  --text-file FILE     hide the bytes of FILE as text\n"
          "  --file FILE          hide FILE; decoding offers it under its name\n"
          "  --password PW        the password (at least four characters)\n"
          "  --password-stdin     read the password from the first line of standard input\n"
          "                       (asked for without echo when that is a terminal)\n"
          "  --quiz Q HINT A      protect with a question instead of a password (up to five times);\n"
          "                       the answer must not be empty; the questions and hints are\n"
          "                       stored readable in the image\n"
          "  --speed 0-4          password strengthening: 0 very fast (default) to 4 very slow\n"
          "  --seal               seal the data with strong encryption (authenticated, keyed through\n"
          "                       Argon2id); only builds that know sealing can open it; not with --quiz\n"
          "  --stealth            hide the data so that detectors cannot tell the image from an untouched\n"
          "                       photo (sealed, too); needs a photo kept lossless as --container and a\n"
          "                       password; not with --noise, --shrink, --quiz or --speed; warns above the\n"
          "                       picture's safe size and refuses above its largest (see info)\n"
          "Without a key option the password is asked for on the terminal.\n";
    return text.c_str();
}

} // namespace lumaquill
