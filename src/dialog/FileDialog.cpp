#include "dialog/FileDialog.h"

#include <algorithm>
#include <filesystem>

#include "core/Log.h"
#include "core/StringUtil.h"
#include "platform/MessageBox.h"
#include "platform/MessageCore.h"
#include "platform/PathResolver.h"
#include "platform/TextCodec.h"

namespace {

constexpr std::uint16_t kOkButton = IDOK;
constexpr std::uint16_t kCancelButton = IDCANCEL;
constexpr std::uint16_t kFolderText = 1100;
constexpr std::uint16_t kFileList = 1101;
constexpr std::uint16_t kNameEdit = 1102;
constexpr std::uint16_t kFilterText = 1103;
constexpr std::uint16_t kNameLabel = 1104;
constexpr std::uint16_t kFileDialogTemplateId = 110;
const char* const kParentEntry = "..";

bool SameLetter(unsigned char a, unsigned char b) {
  auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c; };
  return fold(a) == fold(b);
}

int CharBytes(std::string_view text, std::size_t at) {
  return plat::IsCp932LeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

// '*' any run of characters, '?' one character, letters without case; a
// double-byte character is one character and is compared as it stands.
bool MatchesPattern(std::string_view name, std::string_view pattern) {
  if (pattern.empty()) return name.empty();
  if (pattern[0] == '*') {
    for (std::size_t at = 0;; at += static_cast<std::size_t>(CharBytes(name, at))) {
      if (MatchesPattern(name.substr(at), pattern.substr(1))) return true;
      if (at >= name.size()) return false;
    }
  }
  if (name.empty()) return false;
  const int bytes = CharBytes(name, 0);
  if (pattern[0] == '?') return MatchesPattern(name.substr(static_cast<std::size_t>(bytes)), pattern.substr(1));
  const int patternBytes = CharBytes(pattern, 0);
  if (bytes != patternBytes) return false;
  if (bytes == 2) {
    if (name.substr(0, 2) != pattern.substr(0, 2)) return false;
  } else if (!SameLetter(static_cast<unsigned char>(name[0]), static_cast<unsigned char>(pattern[0]))) {
    return false;
  }
  return MatchesPattern(name.substr(static_cast<std::size_t>(bytes)), pattern.substr(static_cast<std::size_t>(bytes)));
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  return folder.empty() ? name : folder + "\\" + name;
}

// The offset of the last backslash that is a character of its own (a trail
// byte of a double-byte character can be 0x5C too), or npos.
std::size_t LastBackslash(std::string_view path) {
  std::size_t last = std::string_view::npos;
  for (std::size_t at = 0; at < path.size(); at += static_cast<std::size_t>(CharBytes(path, at))) {
    if (path[at] == '\\') last = at;
  }
  return last;
}

// A program path without its trailing backslash (a lone "\" stays).
std::string TrimFolder(std::string folder) {
  while (folder.size() > 1 && LastBackslash(folder) == folder.size() - 1) folder.pop_back();
  return folder;
}

// The folder above, or "" at the working folder.
std::string ParentFolder(const std::string& folder) {
  const std::size_t last = LastBackslash(folder);
  return last == std::string::npos ? std::string() : folder.substr(0, last);
}

bool HasExtension(const std::string& name) {
  for (std::size_t at = 0; at < name.size(); at += static_cast<std::size_t>(CharBytes(name, at))) {
    if (name[at] == '.') return true;
  }
  return false;
}

bool HasWildcard(std::string_view text) { return text.find_first_of("*?;") != std::string_view::npos; }

const sDlgTemplate& BrowserTemplate() {
  using plat::eWidgetKind;
  static const sDlgTemplate kTemplate{
      kFileDialogTemplateId,
      WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME | DS_SETFONT,
      "",
      300,
      200,
      {
          {kFolderText, eWidgetKind::Static, "", 8, 6, 284, 10},
          {kFileList, eWidgetKind::List, "", 8, 18, 284, 118, false, true},
          {kNameLabel, eWidgetKind::Static, "", 8, 144, 50, 10},
          {kNameEdit, eWidgetKind::Edit, "", 60, 142, 232, 13, false, true},
          {kFilterText, eWidgetKind::Static, "", 8, 160, 284, 10},
          {kOkButton, eWidgetKind::PushButton, "", 180, 176, 50, 16, true, true},
          {kCancelButton, eWidgetKind::PushButton, "", 242, 176, 50, 16, false, true},
      }};
  return kTemplate;
}

}  // namespace

bool MatchesFilePatterns(std::string_view nameCp932, std::string_view patterns) {
  std::size_t start = 0;
  while (start <= patterns.size()) {
    const std::size_t end = patterns.find(';', start);
    const std::string_view pattern = patterns.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!pattern.empty() && MatchesPattern(nameCp932, pattern)) return true;
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return false;
}

std::vector<std::string> SplitMultipleSelection(std::string_view buffer) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start < buffer.size() && buffer[start] != '\0') {
    const std::size_t end = buffer.find('\0', start);
    parts.emplace_back(buffer.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  if (parts.size() <= 1) return parts;
  std::vector<std::string> paths;
  for (std::size_t i = 1; i < parts.size(); ++i) paths.push_back(parts[0] + "\\" + parts[i]);
  return paths;
}

sFileDialogSetup StageOpenDialogSetup(bool english) {
  return {"data\\stg4\\", english ? "Load stage file" : "ステージファイルの読み込み", "StageFile ( *.stg4_*;*.rpl4_* )",
          "*.stg4_*;*.rpl4_*", "stg4_*;rpl4_*", english};
}

sFileDialogSetup ReplayOpenDialogSetup(bool english) {
  return {"user_data\\rpl4", english ? "Load replay file" : "リプレイファイルの読み込み", "ReplayFile ( *.rpl4_* )",
          "*.rpl4_*", "rpl4_*", english};
}

sFileDialogSetup ReplaySaveDialogSetup(bool english, std::string_view replayExtension) {
  const std::string extension(replayExtension);
  return {"user_data\\rpl4\\", english ? "Save replay file" : "リプレイファイルの保存",
          "ReplayFile ( *." + extension + " )", "*." + extension, extension, english};
}

// The browser itself: one folder listed at a time.
class cFileBrowserDlg : public cDlg {
 public:
  cFileBrowserDlg(cWnd* owner, const sFileDialogSetup& setup, bool save, std::size_t bufferLength,
                  std::string suggestedName)
      : cDlg(BrowserTemplate(), owner, 0, nullptr),
        m_Setup(setup),
        m_bSave(save),
        m_nBufferLength(bufferLength),
        m_strSuggested(std::move(suggestedName)) {
    SetCreateParams(0, 0, 100, 100, 640, 480, 0, 0, 0, 0, 0, 0);
    RequestCentreOfOwner(owner);
    m_strFolder = TrimFolder(setup.initialFolder);
    if (!m_strFolder.empty() && !plat::DirectoryExists(m_strFolder)) m_strFolder.clear();
  }

  const std::string& ChosenPath() const { return m_strChosen; }

  void OnCreate(WPARAM wParam, LPARAM lParam) override {
    Attach(wParam, lParam);
    SetText(m_Setup.title);
    const bool english = m_Setup.english;
    SetDlgItemString(*this, kNameLabel, english ? "File name:" : "ファイル名:");
    SetDlgItemString(*this, kFilterText, m_Setup.filterName);
    SetDlgItemString(*this, kOkButton, m_bSave ? (english ? "Save" : "保存") : (english ? "Open" : "開く"));
    SetDlgItemString(*this, kCancelButton, english ? "Cancel" : "キャンセル");
    ListFolder();
    if (m_bSave) {
      SetDlgItemString(*this, kNameEdit, m_strSuggested);
      Form().SetFocus(kNameEdit);
      Form().SetSelection(kNameEdit, 0, -1);
    } else {
      Form().SetFocus(kFileList);
    }
    m_bReady = 1;
  }

  void OnCommand(WPARAM wParam, LPARAM lParam) override {
    cDlg::OnCommand(wParam, lParam);
    const int id = static_cast<int>(wParam & 0xFFFF);
    const int code = static_cast<int>((wParam >> 16) & 0xFFFF);
    if (id == kFileList && code == plat::LBN_SELCHANGE) {
      const Entry* entry = SelectedEntry();
      if (entry != nullptr && !entry->folder) SetDlgItemString(*this, kNameEdit, entry->name);
    } else if (id == kFileList && code == plat::LBN_DBLCLK) {
      if (const Entry* entry = SelectedEntry()) Activate(*entry);
    } else if (id == kOkButton) {
      const std::string typed = Form().GetText(kNameEdit);
      if (!typed.empty()) {
        Accept(typed);
      } else if (const Entry* entry = SelectedEntry()) {
        Activate(*entry);
      }
    } else if (id == kCancelButton) {
      End(0);
    }
  }

 protected:
  void OnScriptExhausted() override { plat::SendMessage(GetHandle(), WM_CLOSE, 0, 0); }

  void OnScriptAnswer(const plat::sDialogInput& answer) override {
    if (answer.answer == plat::eDialogAnswer::File || answer.answer == plat::eDialogAnswer::Text) {
      Accept(answer.text);
      return;
    }
    cDlg::OnScriptAnswer(answer);
  }

 private:
  struct Entry {
    std::string name;  // CP932
    bool folder = false;
  };

  const Entry* SelectedEntry() const {
    const int index = Form().GetListSelection(kFileList);
    return index >= 0 && index < static_cast<int>(m_Entries.size()) ? &m_Entries[static_cast<std::size_t>(index)]
                                                                      : nullptr;
  }

  void ListFolder() {
    m_Entries.clear();
    if (!m_strFolder.empty()) m_Entries.push_back({kParentEntry, true});
    std::vector<Entry> folders;
    std::vector<Entry> files;
    std::error_code ec;
    const std::string native = m_strFolder.empty() ? std::string(".") : plat::NativePath(m_strFolder);
    for (const auto& item : std::filesystem::directory_iterator(native, ec)) {
      const std::string name = plat::ProgramPath(item.path().filename().string());
      std::error_code typeError;
      if (item.is_directory(typeError)) {
        folders.push_back({name, true});
      } else if (item.is_regular_file(typeError) && MatchesFilePatterns(name, m_Setup.filterPatterns)) {
        files.push_back({name, false});
      }
    }
    auto byName = [](const Entry& a, const Entry& b) { return a.name < b.name; };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(files.begin(), files.end(), byName);
    m_Entries.insert(m_Entries.end(), folders.begin(), folders.end());
    m_Entries.insert(m_Entries.end(), files.begin(), files.end());
    std::vector<std::string> shown;
    for (const Entry& entry : m_Entries) {
      const bool bracketed = entry.folder && entry.name != kParentEntry;
      shown.push_back(bracketed ? "[" + entry.name + "]" : entry.name);
    }
    Form().SetItems(kFileList, std::move(shown));
    SetDlgItemString(*this, kFolderText, m_strFolder.empty() ? std::string(".\\") : m_strFolder + "\\");
  }

  void Enter(std::string folder) {
    m_strFolder = std::move(folder);
    ListFolder();
  }

  void Activate(const Entry& entry) {
    if (entry.name == kParentEntry) {
      Enter(ParentFolder(m_strFolder));
    } else if (entry.folder) {
      Enter(JoinPath(m_strFolder, entry.name));
    } else {
      Accept(entry.name);
    }
  }

  bool Ask(const std::string& japanese, const std::string& english, UINT type) {
    return plat::MessageBox(m_Setup.english ? english : japanese, m_Setup.title, type) == IDYES;
  }

  // A name typed or chosen: a folder is entered, a file answers the dialog
  // when it passes the checks of the kind of dialog.
  void Accept(const std::string& typed) {
    if (typed == kParentEntry) {
      Enter(ParentFolder(m_strFolder));
      return;
    }
    // A name with a backslash is a path from the working folder.
    const bool isPath = LastBackslash(typed) != std::string::npos;
    std::string path = isPath ? TrimFolder(typed) : JoinPath(m_strFolder, typed);
    if (plat::DirectoryExists(path)) {
      Enter(path);
      return;
    }
    if (m_bSave && !HasExtension(typed) && !m_Setup.defaultExtension.empty() && !HasWildcard(m_Setup.defaultExtension)) {
      path += "." + m_Setup.defaultExtension;
    }
    if (path.size() + 1 > m_nBufferLength) {
      Ask("ファイル名が長すぎます。", "The file name is too long.", MB_OK);
      return;
    }
    const bool exists = plat::FileExists(path);
    if (!m_bSave && !exists) {
      Ask(path + "\nファイルが見つかりません。", path + "\nFile not found.", MB_OK);
      return;
    }
    if (m_bSave && exists &&
        !Ask(path + " は既に存在します。\n上書きしますか？", path + " already exists.\nDo you want to replace it?",
             MB_YESNO)) {
      return;
    }
    m_strChosen = path;
    End(1);
  }

  sFileDialogSetup m_Setup;
  bool m_bSave;
  std::size_t m_nBufferLength;
  std::string m_strSuggested;
  std::string m_strFolder;
  std::string m_strChosen;
  std::vector<Entry> m_Entries;
};

int OpenFileDialog(cWnd* owner, std::string& path, std::size_t bufferLength, const sFileDialogSetup& setup,
                   bool /*multipleSelection*/, std::vector<std::string>* list) {
  path.clear();
  cFileBrowserDlg dialog(owner, setup, false, bufferLength, {});
  if (dialog.DoModal(0) != 1) return 0;
  path = dialog.ChosenPath();
  if (list != nullptr) list->push_back(path);
  return 1;
}

int SaveFileDialog(cWnd* owner, std::string& path, const sFileDialogSetup& setup, bool keepBuffer) {
  if (!keepBuffer) path.clear();
  // The suggestion is shown without its folder; the browser starts in the
  // dialog's folder.
  std::string suggested = path;
  if (const std::size_t slash = LastBackslash(suggested); slash != std::string::npos) {
    suggested = suggested.substr(slash + 1);
  }
  cFileBrowserDlg dialog(owner, setup, true, kFilePathBuffer, suggested);
  if (dialog.DoModal(0) != 1) return 0;
  path = dialog.ChosenPath();
  return 1;
}
