// Where the settings file lives, and the component text that it holds: a
// writer and a reader that work from a component's published properties,
// and the file operations around them. The reader checks the whole text
// before any value reaches the component, then applies the property lines
// in order up to the first failure.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/Component.h"
#include "base/Text.h"

namespace qn3 {

// Tells whether one of the application's open windows bears a name (ASCII
// letter case ignored); the reader renames a header name that one bears.
using WindowNameTest = std::function<bool(std::string_view name)>;

// The settings file's full path for a program file: in the per-user
// application-data folder followed by subFolder, else beside the program
// file; named after the program file with its extension replaced by ext.
// Never fails; may create the directory chain.
std::string SettingsFileLocator(const std::string& subFolder, const std::string& programPath, const std::string& ext);

// The name with its extension (the last dot after the last "\" or ":")
// replaced by ext, which includes its dot; ext appended when there is none.
// The separators are found by characters of the code page.
std::string ChangeFileExt(std::string_view path, std::string_view ext, LeadByteTest isLeadByte);

// Full path of the running program file.
std::string ProgramFilePath();

// The component's stored properties as component text (7-bit ASCII, CR LF
// after every line). Raises on failure.
std::string WriteComponentText(const TComponent& component);
bool ComponentToText(const TComponent& component, std::string& text);

// Reads component text into an existing component. ReadComponentText raises
// EParserError (malformed text, nothing applied), EComponentError (the
// header name is refused, nothing applied) or EReadError (a property line
// fails; the lines before it stay applied). TextToComponent catches every
// error, returns false and hands its message out when asked.
void ReadComponentText(std::string_view text, const WindowNameTest& isOpenWindow, TComponent& component);
bool TextToComponent(std::string_view text, const WindowNameTest& isOpenWindow, TComponent& component,
                     std::string* message = nullptr);

// A text value in the file's notation, quoted runs of plain characters and
// #n codes of UTF-16 units, on one line ('' for the empty text). The writer
// forms the same pieces but breaks them into lines of 64 units.
std::string TextValueNotation(std::string_view ansiText);

// The whole file into memory, others may read it meanwhile but not write
// it. False when it cannot be opened or read.
bool ReadSettingsFile(const std::string& path, std::string& bytes);

// Writes the text to a new file beside path and then replaces path with it
// in one step, so a failure at any point leaves the old file as it was.
bool WriteSettingsFile(const std::string& path, std::string_view bytes);

// Creates the folder that holds path, with every missing parent; true when
// it exists afterwards.
bool ForceFileFolder(const std::string& path);

// True when a file (not a directory) exists at path.
bool SettingsFileExists(const std::string& path);

// Copies the file at path to copyPath, replacing an older copy.
bool CopySettingsFile(const std::string& path, const std::string& copyPath);

// ComponentToText then WriteSettingsFile; ReadSettingsFile then
// TextToComponent. Neither lets an error escape.
bool SaveComponentToFile(const TComponent& component, const std::string& path);
bool LoadComponentFromFile(TComponent& component, const std::string& path, const WindowNameTest& isOpenWindow,
                           std::string* message = nullptr);

}  // namespace qn3
