#include "requester/butil/DescriptionParser.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <set>
#include <sstream>
#include <vector>

#include "requester/butil/KeyTypeNames.h"

namespace butil {

DescriptionError::DescriptionError(int line, const std::string& message)
    : std::runtime_error(line > 0 ? "line " + std::to_string(line) + ": " + message : message), line_(line) {}

namespace {

using Words = std::vector<std::string>;

std::string Lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

bool IsHexText(const Words& words) {
  return std::all_of(words.begin(), words.end(), [](const std::string& word) {
    return std::all_of(word.begin(), word.end(), [](unsigned char c) { return std::isxdigit(c); });
  });
}

int HexValue(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
}

class Parser {
 public:
  FileDescription Parse(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
      ++lineNumber_;
      const Words words = SplitWords(line);
      if (!words.empty()) ParseLine(words);
    }
    Finish();
    return description_;
  }

 private:
  static Words SplitWords(const std::string& line) {
    std::istringstream stream(line.substr(0, line.find('#')));
    Words words;
    for (std::string word; stream >> word;) words.push_back(word);
    return words;
  }

  [[noreturn]] void Fail(const std::string& message) const { throw DescriptionError(lineNumber_, message); }

  unsigned Number(const Words& words, size_t index, unsigned maximum) const {
    if (index >= words.size()) Fail("a number is missing after \"" + words[index - 1] + "\"");
    const std::string& word = words[index];
    unsigned value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || value > maximum) {
      Fail("\"" + word + "\" is not a number from 0 to " + std::to_string(maximum));
    }
    return value;
  }

  void ExpectWord(const Words& words, size_t index, const char* expected) const {
    if (index >= words.size() || Lowered(words[index]) != expected) Fail(std::string("\"") + expected + "\" expected");
  }

  void ExpectEnd(const Words& words, size_t count) const {
    if (words.size() > count) Fail("unexpected \"" + words[count] + "\"");
  }

  void ParseLine(const Words& words) {
    if (CollatingIncomplete() && IsHexText(words)) return AddCollatingBytes(words);
    EndCollating();
    const std::string keyword = Lowered(words[0]);
    if (keyword == "record") return ParseRecordLength(words);
    if (keyword == "page") return ParsePageSize(words);
    if (keyword == "variable") return ParseVariableLength(words);
    if (keyword == "key") return ParseKey(words);
    if (keyword == "segment") return ParseSegment(words);
    if (keyword == "collating") return ParseCollating(words);
    Fail("unknown word \"" + words[0] + "\"");
  }

  void ParseRecordLength(const Words& words) {
    ExpectWord(words, 1, "length");
    description_.recordLength = static_cast<uint16_t>(Number(words, 2, 65535));
    ExpectEnd(words, 3);
    haveRecordLength_ = true;
  }

  void ParsePageSize(const Words& words) {
    ExpectWord(words, 1, "size");
    description_.pageSize = static_cast<uint16_t>(Number(words, 2, 65535));
    ExpectEnd(words, 3);
    havePageSize_ = true;
  }

  void ParseVariableLength(const Words& words) {
    ExpectWord(words, 1, "length");
    ExpectEnd(words, 2);
    description_.variableLength = true;
  }

  void ParseKey(const Words& words) {
    KeyDescription key;
    key.number = description_.keys.empty() ? 0 : description_.keys.back().number + 1;
    size_t index = 1;
    if (index < words.size() && std::isdigit(static_cast<unsigned char>(words[index][0]))) {
      key.number = static_cast<int>(Number(words, index++, 127));
    }
    for (; index < words.size(); ++index) {
      const std::string word = Lowered(words[index]);
      if (word == "duplicates") {
        key.duplicates = true;
      } else if (word == "modifiable") {
        key.modifiable = true;
      } else {
        Fail("unknown key attribute \"" + words[index] + "\"");
      }
    }
    if (!keyNumbers_.insert(key.number).second) Fail("key " + std::to_string(key.number) + " is given twice");
    description_.keys.push_back(key);
  }

  void ParseSegment(const Words& words) {
    if (description_.keys.empty()) Fail("a segment must follow a key line");
    SegmentDescription segment;
    bool havePosition = false, haveLength = false, haveType = false;
    for (size_t index = 1; index < words.size(); ++index) {
      const std::string word = Lowered(words[index]);
      if (word == "position") {
        segment.position = static_cast<uint16_t>(Number(words, ++index, 65535));
        havePosition = true;
      } else if (word == "length") {
        segment.length = static_cast<uint16_t>(Number(words, ++index, 65535));
        haveLength = true;
      } else if (word == "type") {
        segment.type = TypeAt(words, ++index);
        haveType = true;
      } else if (word == "descending") {
        segment.descending = true;
      } else if (word == "case-insensitive") {
        segment.caseInsensitive = true;
      } else if (word == "collating") {
        if (++index >= words.size()) Fail("a name is missing after \"collating\"");
        collatingUses_.push_back({lineNumber_, words[index], description_.keys.size() - 1,
                                  description_.keys.back().segments.size()});
      } else {
        Fail("unknown segment attribute \"" + words[index] + "\"");
      }
    }
    if (!havePosition || !haveLength || !haveType) Fail("a segment needs a position, a length and a type");
    description_.keys.back().segments.push_back(segment);
  }

  uint8_t TypeAt(const Words& words, size_t index) const {
    if (index >= words.size()) Fail("a type is missing after \"type\"");
    const auto type = KeyTypeFromName(words[index]);
    if (!type) Fail("unknown key type \"" + words[index] + "\"");
    return *type;
  }

  void ParseCollating(const Words& words) {
    if (words.size() < 2) Fail("a name is missing after \"collating\"");
    const std::string& name = words[1];
    if (name.size() > 8) Fail("the collating name \"" + name + "\" is longer than 8 characters");
    if (FindCollating(name) >= 0) Fail("collating \"" + name + "\" is given twice");
    description_.collating.push_back({name, {}});
    collatingBytes_ = 0;
    collatingLine_ = lineNumber_;
    AddCollatingBytes(Words(words.begin() + 2, words.end()));
  }

  void AddCollatingBytes(const Words& words) {
    if (!IsHexText(words)) Fail("the collating table must be hexadecimal bytes");
    std::string digits;
    for (const std::string& word : words) digits += word;
    if (digits.size() % 2 != 0) Fail("the collating table has an odd number of hexadecimal digits");
    auto& table = description_.collating.back().table;
    for (size_t index = 0; index < digits.size(); index += 2) {
      if (collatingBytes_ == static_cast<int>(table.size())) Fail("the collating table has more than 256 bytes");
      table[collatingBytes_++] = static_cast<uint8_t>(HexValue(digits[index]) * 16 + HexValue(digits[index + 1]));
    }
  }

  bool CollatingIncomplete() const { return collatingLine_ > 0 && collatingBytes_ < 256; }

  void EndCollating() {
    if (CollatingIncomplete()) {
      throw DescriptionError(collatingLine_, "collating \"" + description_.collating.back().name +
                                                 "\" has " + std::to_string(collatingBytes_) +
                                                 " bytes instead of 256");
    }
    collatingLine_ = 0;
  }

  int FindCollating(const std::string& name) const {
    const auto& all = description_.collating;
    for (size_t index = 0; index < all.size(); ++index) {
      if (Lowered(all[index].name) == Lowered(name)) return static_cast<int>(index);
    }
    return -1;
  }

  void Finish() {
    EndCollating();
    if (!haveRecordLength_) throw DescriptionError(0, "the record length is missing");
    if (!havePageSize_) throw DescriptionError(0, "the page size is missing");
    for (const KeyDescription& key : description_.keys) {
      if (key.segments.empty()) throw DescriptionError(0, "key " + std::to_string(key.number) + " has no segment");
    }
    for (const CollatingUse& use : collatingUses_) {
      const int index = FindCollating(use.name);
      if (index < 0) throw DescriptionError(use.line, "collating \"" + use.name + "\" is not given");
      description_.keys[use.key].segments[use.segment].collating = index;
    }
  }

  // A segment's collating name, resolved when every sequence is known.
  struct CollatingUse {
    int line;
    std::string name;
    size_t key;
    size_t segment;
  };

  FileDescription description_;
  int lineNumber_ = 0;
  bool haveRecordLength_ = false;
  bool havePageSize_ = false;
  std::set<int> keyNumbers_;
  std::vector<CollatingUse> collatingUses_;
  int collatingLine_ = 0;
  int collatingBytes_ = 0;
};

}  // namespace

FileDescription ParseDescription(const std::string& text) {
  return Parser().Parse(text);
}

}  // namespace butil
