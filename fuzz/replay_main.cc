// Runs a fuzz target over stored inputs, without a fuzzer: each argument is
// a file or a folder of files. A broken invariant or a sanitizer report
// aborts; the last "Running" line names the input.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<std::filesystem::path> ingressi(const std::filesystem::path& p) {
  std::vector<std::filesystem::path> file;
  if (std::filesystem::is_directory(p)) {
    for (const auto& e : std::filesystem::recursive_directory_iterator(p)) {
      if (e.is_regular_file()) file.push_back(e.path());
    }
    std::sort(file.begin(), file.end());
  } else {
    file.push_back(p);
  }
  return file;
}

}  // namespace

int main(int argc, char** argv) {
  size_t eseguiti = 0;
  for (int i = 1; i < argc; ++i) {
    for (const auto& f : ingressi(argv[i])) {
      std::ifstream in(f, std::ios::binary);
      if (!in) {
        std::fprintf(stderr, "cannot read %s\n", f.string().c_str());
        return 1;
      }
      const std::string bytes((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
      std::fprintf(stderr, "Running: %s\n", f.string().c_str());
      LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
      ++eseguiti;
    }
  }
  std::fprintf(stderr, "%zu inputs replayed\n", eseguiti);
  // A corpus that went missing must not pass as an empty success.
  return eseguiti > 0 ? 0 : 1;
}
