#include "app/OpenFileService.h"

#include "app/SystemIni.h"
#include "dialog/FileDialog.h"

namespace {

// The request's patterns are default extensions ("stg4_*;rpl4_*"); the
// browser lists the files matching each of them behind "*.".
std::string FilterPatterns(const std::string& extensions) {
  std::string patterns;
  for (std::size_t start = 0; start <= extensions.size();) {
    const std::size_t end = extensions.find(';', start);
    if (!patterns.empty()) patterns += ";";
    patterns += "*." + extensions.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return patterns;
}

}  // namespace

bool RunOpenFileDialog(std::string& path, const sFileDialogRequest& request) {
  sFileDialogSetup setup;
  setup.initialFolder = request.initialFolder;
  setup.title = request.title;
  setup.filterName = request.filter;
  setup.defaultExtension = request.patterns;
  setup.filterPatterns = FilterPatterns(request.patterns);
  setup.english = g_SystemIni.m_nEnglish != 0;
  return OpenFileDialog(&g_MainWnd, path, kFilePathBuffer, setup) == 1;
}
