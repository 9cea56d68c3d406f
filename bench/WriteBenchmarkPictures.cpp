// Writes the benchmarks' pictures and their config.xml into a directory, for
// the Windows program to load under Wine (scripts/bench):
//
//   write_benchmark_pictures DIRECTORY [COUNT]   (COUNT 1..100, default 100)
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>

#include "BenchmarkPictures.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: write_benchmark_pictures DIRECTORY [COUNT]\n");
    return 2;
  }
  int count = argc == 3 ? std::atoi(argv[2]) : benchsupport::kMostPictures;
  if (count < 1 || count > benchsupport::kMostPictures) {
    std::fprintf(stderr, "write_benchmark_pictures: COUNT must be 1 to %d, got %s\n", benchsupport::kMostPictures,
                 argv[2]);
    return 2;
  }
  try {
    std::filesystem::create_directories(argv[1]);
    std::filesystem::current_path(argv[1]);
    benchsupport::writePictures(count);
    benchsupport::writeSettings(count);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "write_benchmark_pictures: %s\n", error.what());
    return 1;
  }
  return 0;
}
