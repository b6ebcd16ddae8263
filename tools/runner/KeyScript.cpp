#include "KeyScript.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

#include "platform/VirtualKeys.h"

namespace runner {

namespace {

const std::vector<int> kNoKeys;

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool ParseAnswer(std::istringstream& in, const std::string& line, sAnswer& answer) {
  std::string kind;
  in >> kind;
  kind = Upper(kind);
  if (kind == "YES") answer.kind = sAnswer::eKind::kYes;
  else if (kind == "NO") answer.kind = sAnswer::eKind::kNo;
  else if (kind == "CANCEL") answer.kind = sAnswer::eKind::kCancel;
  else if (kind == "TEXT" || kind == "FILE") {
    answer.kind = kind == "TEXT" ? sAnswer::eKind::kText : sAnswer::eKind::kFile;
    std::string rest;
    std::getline(in, rest);
    const std::size_t start = rest.find_first_not_of(" \t");
    answer.value = start == std::string::npos ? std::string() : rest.substr(start);
  } else {
    return false;
  }
  (void)line;
  return true;
}

}  // namespace

int VirtualKeyFromName(const std::string& rawName) {
  const std::string name = Upper(rawName);
  if (name.size() > 2 && name[0] == '0' && name[1] == 'X') {
    char* end = nullptr;
    const long code = std::strtol(name.c_str() + 2, &end, 16);
    if (end == nullptr || *end != '\0' || code <= 0 || code > 0xFF) return -1;
    return static_cast<int>(code);
  }
  if (name.size() == 1 && (std::isupper(static_cast<unsigned char>(name[0])) ||
                           std::isdigit(static_cast<unsigned char>(name[0])))) {
    return name[0];  // letters and digits are their own codes
  }
  if (name.size() >= 2 && name[0] == 'F' && std::isdigit(static_cast<unsigned char>(name[1]))) {
    const int n = std::atoi(name.c_str() + 1);
    if (n >= 1 && n <= 12) return plat::VK_F1 + n - 1;
    return -1;
  }
  static const std::map<std::string, int> kNames = {
      {"LEFT", plat::VK_LEFT},     {"RIGHT", plat::VK_RIGHT},   {"UP", plat::VK_UP},
      {"DOWN", plat::VK_DOWN},     {"SPACE", plat::VK_SPACE},   {"RETURN", plat::VK_RETURN},
      {"ESCAPE", plat::VK_ESCAPE}, {"SHIFT", plat::VK_SHIFT},   {"CONTROL", plat::VK_CONTROL},
  };
  const auto found = kNames.find(name);
  return found == kNames.end() ? -1 : found->second;
}

bool cKeyScript::Parse(const std::string& text, std::string& error) {
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    if (const std::size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream in(line);
    std::string first;
    if (!(in >> first)) continue;
    char* end = nullptr;
    const long long frame = std::strtoll(first.c_str(), &end, 10);
    if (end == nullptr || *end != '\0' || frame < 0) {
      error = "line " + std::to_string(number) + ": a frame number must come first";
      return false;
    }
    std::vector<int> keys;
    std::string word;
    bool answered = false;
    while (in >> word) {
      if (Upper(word) == "ANSWER") {
        sAnswer answer;
        answer.frame = frame;
        if (!ParseAnswer(in, line, answer)) {
          error = "line " + std::to_string(number) + ": answer yes, no, cancel, text or file";
          return false;
        }
        m_Answers.push_back(answer);
        answered = true;
        break;
      }
      const int code = VirtualKeyFromName(word);
      if (code < 0) {
        error = "line " + std::to_string(number) + ": unknown key " + word;
        return false;
      }
      keys.push_back(code);
    }
    if (!answered) m_KeyLines[frame] = keys;
  }
  return true;
}

const std::vector<int>& cKeyScript::KeysAt(std::int64_t frame) const {
  auto it = m_KeyLines.upper_bound(frame);
  if (it == m_KeyLines.begin()) return kNoKeys;
  return std::prev(it)->second;
}

bool cKeyScript::TakeAnswer(std::int64_t frame, sAnswer& answer) {
  if (m_Answers.empty() || m_Answers.front().frame > frame) return false;
  answer = m_Answers.front();
  m_Answers.pop_front();
  return true;
}

}  // namespace runner
