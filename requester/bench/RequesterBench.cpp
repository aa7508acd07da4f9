// Runs the same work on the record manager and on SQLite and prints the times and their ratios.
// Usage: requester_bench [folder] [records] [reads] [scans]; scans read 10,000 keys each. Build it optimised in a
// native build: cmake -S . -B build/bench -G Ninja -DDUN_NATIVE=ON -DCMAKE_BUILD_TYPE=Release, then
// cmake --build build/bench --target requester_bench; it needs SQLite's development files.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "requester/bench/BenchData.h"
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

struct Results {
  Measure load, reads, scans;
};

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

Results Run(BenchStore& store, const BenchWork& work) {
  Results results;
  results.load = Timed([&] { return store.Load(work.records, kBatch); });
  results.reads = Timed([&] { return store.GetEqual(work.readIds); });
  results.scans = Timed([&] { return store.Scan(work.scanStarts, kScanLength); });
  std::printf("  %s done\n", store.Name().c_str());
  std::fflush(stdout);
  return results;
}

void PrintLine(const std::string& label, const Measure& ours, const Measure& theirs) {
  std::printf("%-28s %10.3f s %10.3f s %8.2f%s\n", label.c_str(), ours.seconds, theirs.seconds,
              theirs.seconds / ours.seconds, ours.delivered == theirs.delivered ? "" : "  (different results!)");
}

int Main(int argc, char** argv) {
  const Settings settings = ReadSettings(argc, argv);
  std::filesystem::create_directories(settings.folder);
  std::printf("%d records of %d bytes, 3 keys; inserts in transactions of %zu; "
              "SQLite: WAL, synchronous=NORMAL, 1 GiB cache\n",
              settings.records, kRecordLength, kBatch);
  const BenchWork work = MakeWork(settings.records, settings.reads, settings.scans, 20261210);
  Results ours, theirs;
  {
    RecordManagerStore store((settings.folder / "bench.dat").string());
    ours = Run(store, work);
  }
  {
    SqliteStore store((settings.folder / "bench.sqlite").string());
    theirs = Run(store, work);
  }
  std::printf("%-28s %12s %12s %8s\n", "", "ours", "SQLite", "SQLite/ours");
  PrintLine("load " + std::to_string(settings.records), ours.load, theirs.load);
  PrintLine("get equal " + std::to_string(settings.reads), ours.reads, theirs.reads);
  PrintLine("scan " + std::to_string(settings.scans) + " x " + std::to_string(kScanLength), ours.scans,
            theirs.scans);
  std::printf("records delivered: ours %zu / %zu / %zu, SQLite %zu / %zu / %zu\n", ours.load.delivered,
              ours.reads.delivered, ours.scans.delivered, theirs.load.delivered, theirs.reads.delivered,
              theirs.scans.delivered);
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
