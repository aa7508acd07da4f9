// Runs the same work on the record manager, SQLite and LMDB and prints the times and their ratios from one run.
// Usage: requester_bench [folder] [records] [reads] [scans]; scans read 10,000 keys each. The open row opens each
// store in a process of its own and counts the memory that process gains by the open and by a full scan. Build it
// optimised in a native build: cmake -S . -B build/bench -G Ninja -DDUN_NATIVE=ON -DCMAKE_BUILD_TYPE=Release, then
// cmake --build build/bench --target requester_bench; it needs SQLite's and LMDB's development files.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "requester/bench/BenchData.h"
#include "requester/bench/LmdbStore.h"
#include "requester/bench/RecordManagerStore.h"
#include "requester/bench/SqliteStore.h"

namespace bench {
namespace {

constexpr size_t kBatch = 10000;
constexpr int kScanLength = 10000;

struct Settings {
  std::filesystem::path folder = std::filesystem::temp_directory_path() / "requester-bench";
  int records = 1000000;
  int reads = 1000000;
  int scans = 100;
};

struct Measure {
  double seconds = 0;
  size_t delivered = 0;
};

// Opening a store that holds the records, in a fresh process: the time the open takes and the memory the process
// gains by it and by a full scan of the name key afterwards.
struct OpenCost {
  double seconds = 0;
  double openMiB = 0;
  double scanMiB = 0;
  size_t scanned = 0;
};

struct Results {
  Measure load, reads, scans;
  OpenCost open;
};

using StoreMaker = std::function<std::unique_ptr<BenchStore>(bool create)>;

Settings ReadSettings(int argc, char** argv) {
  Settings settings;
  if (argc > 1) settings.folder = argv[1];
  if (argc > 2) settings.records = std::atoi(argv[2]);
  if (argc > 3) settings.reads = std::atoi(argv[3]);
  if (argc > 4) settings.scans = std::atoi(argv[4]);
  return settings;
}

Measure Timed(const std::function<size_t()>& work) {
  const auto start = std::chrono::steady_clock::now();
  const size_t delivered = work();
  return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), delivered};
}

double ResidentMiB() {
  long pages = 0, resident = 0;
  std::ifstream("/proc/self/statm") >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1 << 20);
}

// In the process started by MeasureOpen: opens the store and writes its OpenCost to standard output.
int ReportOpen(const StoreMaker& make, int records) {
  OpenCost cost;
  const double before = ResidentMiB();
  std::unique_ptr<BenchStore> store;
  cost.seconds = Timed([&] {
                   store = make(false);
                   return size_t{0};
                 }).seconds;
  cost.openMiB = ResidentMiB() - before;
  cost.scanned = store->Scan({std::string(kNameLength, '\0')}, records);
  cost.scanMiB = ResidentMiB() - before;
  std::printf("%.6f %.3f %.3f %zu\n", cost.seconds, cost.openMiB, cost.scanMiB, cost.scanned);
  return 0;
}

// Runs this program again as "--open <store> <folder> <records>", so that nothing of this process counts.
OpenCost MeasureOpen(const std::string& store, const Settings& settings) {
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::string command = "'" + self + "' --open " + store + " '" + settings.folder.string() + "' " +
                              std::to_string(settings.records);
  FILE* child = popen(command.c_str(), "r");
  if (!child) throw std::runtime_error("cannot start " + command);
  OpenCost cost;
  const int read = std::fscanf(child, "%lf %lf %lf %zu", &cost.seconds, &cost.openMiB, &cost.scanMiB, &cost.scanned);
  if (pclose(child) != 0 || read != 4) throw std::runtime_error("the open measurement failed: " + command);
  return cost;
}

Results Run(const std::string& kind, const StoreMaker& make, const BenchWork& work, const Settings& settings) {
  Results results;
  std::string name;
  {
    std::unique_ptr<BenchStore> store = make(true);
    name = store->Name();
    results.load = Timed([&] { return store->Load(work.records, kBatch); });
    results.reads = Timed([&] { return store->GetEqual(work.readIds); });
    results.scans = Timed([&] { return store->Scan(work.scanStarts, kScanLength); });
  }
  results.open = MeasureOpen(kind, settings);
  std::printf("  %s done\n", name.c_str());
  std::fflush(stdout);
  return results;
}

std::string Ratio(double ours, double theirs) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", ours > 0 ? theirs / ours : 0.0);
  return text;
}

// One row: our figure, SQLite's and LMDB's, then how many times ours theirs are (above 1: ours is smaller).
void PrintRow(const std::string& label, const char* format, double ours, double sqlite, double lmdb) {
  char cells[3][32];
  std::snprintf(cells[0], sizeof cells[0], format, ours);
  std::snprintf(cells[1], sizeof cells[1], format, sqlite);
  std::snprintf(cells[2], sizeof cells[2], format, lmdb);
  std::printf("%-30s %12s %12s %12s %10s %10s\n", label.c_str(), cells[0], cells[1], cells[2],
              Ratio(ours, sqlite).c_str(), Ratio(ours, lmdb).c_str());
}

void PrintTimes(const std::string& label, const Measure& ours, const Measure& sqlite, const Measure& lmdb) {
  PrintRow(label, "%.3f s", ours.seconds, sqlite.seconds, lmdb.seconds);
  if (ours.delivered != sqlite.delivered || ours.delivered != lmdb.delivered)
    std::printf("  (different results: %zu / %zu / %zu records)\n", ours.delivered, sqlite.delivered, lmdb.delivered);
}

StoreMaker Maker(const std::string& kind, const std::filesystem::path& folder) {
  const std::string path = (folder / ("bench." + kind)).string();
  return [kind, path](bool create) -> std::unique_ptr<BenchStore> {
    if (kind == "sqlite") return std::make_unique<SqliteStore>(path, create);
    if (kind == "lmdb") return std::make_unique<LmdbStore>(path, create);
    return std::make_unique<RecordManagerStore>(path, create);
  };
}

int Main(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == "--open") return ReportOpen(Maker(argv[2], argv[3]), std::atoi(argv[4]));
  const Settings settings = ReadSettings(argc, argv);
  std::filesystem::create_directories(settings.folder);
  std::printf("%d records of %d bytes, 3 keys; inserts in transactions of %zu. Every transaction reaches the disk\n"
              "before it ends: record manager: flush at transaction end, %zu MiB page cache; SQLite: WAL,\n"
              "synchronous=FULL, 1 GiB cache; LMDB: synced commits\n",
              settings.records, kRecordLength, kBatch, kRecordManagerCacheBytes >> 20);
  const BenchWork work = MakeWork(settings.records, settings.reads, settings.scans, 20261210);
  const Results ours = Run("dat", Maker("dat", settings.folder), work, settings);
  const Results sqlite = Run("sqlite", Maker("sqlite", settings.folder), work, settings);
  const Results lmdb = Run("lmdb", Maker("lmdb", settings.folder), work, settings);
  std::printf("%-30s %12s %12s %12s %10s %10s\n", "", "ours", "SQLite", "LMDB", "SQLite/ours", "LMDB/ours");
  PrintTimes("load " + std::to_string(settings.records), ours.load, sqlite.load, lmdb.load);
  PrintTimes("get equal " + std::to_string(settings.reads), ours.reads, sqlite.reads, lmdb.reads);
  PrintTimes("scan " + std::to_string(settings.scans) + " x " + std::to_string(kScanLength), ours.scans,
             sqlite.scans, lmdb.scans);
  PrintRow("open", "%.4f s", ours.open.seconds, sqlite.open.seconds, lmdb.open.seconds);
  PrintRow("memory after open", "%.1f MiB", ours.open.openMiB, sqlite.open.openMiB, lmdb.open.openMiB);
  PrintRow("memory after a full scan", "%.1f MiB", ours.open.scanMiB, sqlite.open.scanMiB, lmdb.open.scanMiB);
  if (ours.open.scanned != sqlite.open.scanned || ours.open.scanned != lmdb.open.scanned)
    std::printf("  (full scans differ: %zu / %zu / %zu records)\n", ours.open.scanned, sqlite.open.scanned,
                lmdb.open.scanned);
  return 0;
}

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
  try {
    return bench::Main(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "requester_bench: %s\n", error.what());
    return 1;
  }
}
