#include "requester/butil/DescriptionWriter.h"

#include <cstdio>
#include <sstream>

#include "requester/butil/KeyTypeNames.h"

namespace butil {

namespace {

constexpr int kCollatingBytesPerLine = 32;

std::string CollatingName(const FileDescription& description, int number) {
  const bool known = number < static_cast<int>(description.collating.size());
  return known ? description.collating[number].name : "acs" + std::to_string(number);
}

void WriteKey(std::ostream& out, const KeyDescription& key, const FileDescription& description) {
  out << "key " << key.number << (key.duplicates ? " duplicates" : "") << (key.modifiable ? " modifiable" : "")
      << (key.supplemental ? "  # supplemental" : "") << "\n";
  for (const SegmentDescription& segment : key.segments) {
    out << "  segment position " << segment.position << " length " << segment.length << " type "
        << KeyTypeName(segment.type) << (segment.descending ? " descending" : "")
        << (segment.caseInsensitive ? " case-insensitive" : "");
    if (segment.collating >= 0) out << " collating " << CollatingName(description, segment.collating);
    out << "\n";
  }
}

void WriteCollating(std::ostream& out, const CollatingSequence& sequence) {
  out << "collating " << sequence.name << "\n";
  for (size_t index = 0; index < sequence.table.size(); ++index) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", sequence.table[index]);
    out << (index % kCollatingBytesPerLine == 0 ? "  " : "") << hex
        << ((index + 1) % kCollatingBytesPerLine == 0 ? "\n" : "");
  }
}

}  // namespace

std::string FormatDescription(const FileDescription& description) {
  std::ostringstream out;
  out << "# records " << description.recordCount << "\n";
  out << "record length " << description.recordLength << "\n";
  out << "page size " << description.pageSize << "\n";
  if (description.variableLength) out << "variable length\n";
  for (const KeyDescription& key : description.keys) WriteKey(out, key, description);
  for (const CollatingSequence& sequence : description.collating) WriteCollating(out, sequence);
  return out.str();
}

}  // namespace butil
