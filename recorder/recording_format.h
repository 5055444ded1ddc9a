#pragma once
// The drive recording's text: its name and version, the words of its
// lines, and how numbers and the configuration's bytes are written so that
// they read back to the bit.
//
//   ZT40-Fahrtaufzeichnung 1        name and format version
//   # ...                           comments for the reader
//   Beginn: 2024-05-01 14:03:22     header lines, "Name: value"
//   K ...                           the configuration file, line by line
//   Fahrt:                          the drive follows, one change a line:
//   1520 Taste ab 16                main ticks so far, word, arguments
//   ...
//   98120 Ende                      the end state follows
//   Stand trainSpeed 0x1.4p+3
//   Schluss 131                     the end state is complete
//
// Main ticks are implied by the count in front of each line: a line with
// count k happened after the k-th main tick and before the next.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "window_messages.h"

namespace zt40::recording {

inline constexpr std::string_view magic = "ZT40-Fahrtaufzeichnung";
inline constexpr int formatVersion = 1;
// Ending of a recording's file name.
inline constexpr std::string_view fileExtension = ".zt40fahrt";

// Line words of the drive. Events reach the engine; answers are what the
// host told it while an event ran; the rest are the dialogs' writes and
// the checks.
namespace word {
inline constexpr std::string_view key = "Taste";        // message, virtual key
inline constexpr std::string_view mouse = "Maus";       // message, x, y, wheel or repeat
inline constexpr std::string_view user = "Wiederholung";  // repeat message offset
inline constexpr std::string_view timer = "Zeitgeber";  // timer id (not the main tick)
inline constexpr std::string_view size = "Fenster";     // width, height
inline constexpr std::string_view focus = "Fokus";      // ein, aus
inline constexpr std::string_view paint = "Zeichnen";
inline constexpr std::string_view captureLost = "Losgelassen";
inline constexpr std::string_view clock = "Uhr";        // answer: ms of the steady clock
inline constexpr std::string_view pointer = "Zeiger";   // answer: ja, nein (the pointer was put on a knob)
inline constexpr std::string_view seed = "Saat";        // answer: the clock's seed
inline constexpr std::string_view busy = "Belegt";      // the model was still computing: no exchange this tick
inline constexpr std::string_view value = "Wert";       // a dialog's write: field, value
inline constexpr std::string_view random = "Zufall";    // the random sequence's state after a dialog drew from it
inline constexpr std::string_view check = "Prüfung";    // state digest, one byte per checked field
inline constexpr std::string_view end = "Ende";
inline constexpr std::string_view endValue = "Stand";   // after the end: field, value
inline constexpr std::string_view complete = "Schluss";  // after the end: how many end values came
}  // namespace word

// Header labels.
namespace label {
inline constexpr std::string_view started = "Beginn";
inline constexpr std::string_view program = "Programm";
inline constexpr std::string_view model = "Modell";
inline constexpr std::string_view seed = "Startwert";
inline constexpr std::string_view question = "Frage";
inline constexpr std::string_view configuration = "Konfiguration";
inline constexpr std::string_view checkedFields = "Prüffelder";
inline constexpr std::string_view drive = "Fahrt";
}  // namespace label

// The window's messages by their words: "ab", "auf", "sysab", "sysauf";
// "bewegt", "links", "linksauf", "doppel", "rechts", "rechtsauf", "rad",
// "wiederholung".
std::string_view keyMessageWord(KeyMessage message);
std::optional<KeyMessage> keyMessageOf(std::string_view word);
std::string_view mouseMessageWord(MouseMessage message);
std::optional<MouseMessage> mouseMessageOf(std::string_view word);

// How the start-up question was answered.
enum class StartAnswer { none, yes, no };
std::string_view answerWord(StartAnswer answer);  // "keine", "ja", "nein"
std::optional<StartAnswer> answerOf(std::string_view word);

// A value exactly: integers in decimal, everything else as a hexadecimal
// floating-point number (which also keeps infinities and NaN).
std::string exactNumber(double value);
// Reads what exactNumber wrote (and any decimal number); nullopt for text
// that is not one number.
std::optional<double> parseNumber(std::string_view text);
std::optional<std::int64_t> parseInteger(std::string_view text);

// Bytes as one line of printable text: printable ASCII stays, a backslash
// and every other byte become \xHH.
std::string escapeBytes(std::string_view bytes);
// nullopt for a malformed escape.
std::optional<std::string> unescapeBytes(std::string_view text);

}  // namespace zt40::recording
