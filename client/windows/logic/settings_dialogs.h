// What the settings dialogs read and write: the phrase lists (Config.ini
// [Sentence]), the toolbar items (dmr.ini [ToolBar]), the external tools
// (Config.ini [Tools]) and the grids' text and background (dmr.ini [Display]).
// Everything is written as decimal text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "client/model/profile_reader.h"
#include "client/model/profile_writer.h"

namespace tovan {

// ---- Phrase lists ----------------------------------------------------------

struct PhraseCategory {
    int buttonId;
    const char* caption;
    const char* key;  // [Sentence] key
};
const std::vector<PhraseCategory>& PhraseCategories();

// The edit text of a list: one entry a line, empty entries dropped, no
// trailing line break. Read with a 4000-byte buffer.
std::string PhraseListEditText(ProfileReader& profiles, const std::string& configFile,
                               const std::string& key);

// The stored form of an edit text: no blanks, "^" or "|", "'" as a double
// quote (they would break the sentences built from the lists), empty lines
// dropped, lines joined by "/".
std::string PhraseListValue(std::string editText);

// ---- Toolbar items ---------------------------------------------------------

struct ToolbarChoice {
    const char* caption;  // also the dmr.ini [ToolBar] key
};
// The fifteen rows of the dialog in list order.
const std::vector<ToolbarChoice>& ToolbarChoices();

// One flag per row: the stored value is non-zero; when missing, whether the
// toolbar shows the item by default, so that the dialog ticks what the bar shows.
std::vector<bool> ReadToolbarChoices(ProfileReader& profiles);
// Writes every row as "1" or "0", in list order.
void WriteToolbarChoices(ProfileWriter& profiles, const std::vector<bool>& shown);

// ---- External tools --------------------------------------------------------

struct ExternalTool {
    std::string name;
    std::string path;
};

// The tools in ToolString order (2000-byte buffer), each path from the key
// of its name (500-byte buffer).
std::vector<ExternalTool> ReadExternalTools(ProfileReader& profiles, const std::string& configFile);
// Each tool's path under its name, then ToolString ("name\" for each). Keys
// of tools no longer listed stay.
void WriteExternalTools(ProfileWriter& profiles, const std::string& configFile,
                        const std::vector<ExternalTool>& tools);

// text with every " " removed.
std::string WithoutBlanks(std::string text);

// A tool name as typed, made fit to store: no blanks, and no "\" (the
// ToolString separator: a name holding one would come back as two tools
// without paths). Found by characters, so a GBK character whose second byte
// is "\" stays whole.
std::string ToolNameOf(const std::string& typed);

// ---- Text and background ---------------------------------------------------

struct DisplayChoice {
    int fontSize = 12;  // 12 to 34 points
    std::uint32_t fontColor = 0;
    std::uint32_t backColor = 0xFEF4E7;
    std::uint32_t phoneColor = 0x0000FF;
    bool bold = false;
    std::string fontFamily = "宋体";
    int lines = 3;  // per record; 0 = automatic
};

constexpr int kMinFontSize = 12;
constexpr int kMaxFontSize = 34;

// The dialog's keys of dmr.ini [Display] with their defaults.
DisplayChoice ReadDisplayChoice(ProfileReader& profiles);
// FontSize, FontColor, BackColor, PhoneColor, Bold, FontFamily, Line in that order.
void WriteDisplayChoice(ProfileWriter& profiles, const DisplayChoice& choice);

// The lines combo box: "自动" (0), "2" to "5".
const std::vector<std::string>& LineChoiceTexts();
// Index of the item for a Line value; -1 for a value the box does not offer.
int LineChoiceIndex(int lines);
// The Line value of a combo item index; no selection (-1) gives 0 (automatic).
int LinesOfChoice(int index);

}  // namespace tovan
