// A driver for builds without libFuzzer: feeds every file named on the command line (or every
// file of a named folder) once through the target's LLVMFuzzerTestOneInput, then as many
// deterministic mutations of each as --mutations=N asks for.
//
//   fuzz_replay_<target> [--mutations=N] CORPUS_DIR_OR_FILE...

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ios>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes(static_cast<std::size_t>(std::filesystem::file_size(path)), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

// A small, fixed generator, so that a failing mutation can be found again by its number.
struct XorShift {
  std::uint64_t state;
  std::uint64_t Next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  }
  std::size_t Below(std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(Next() % n); }
};

// Pieces of the feed's own syntax that mutations splice in.
constexpr std::string_view kTokens[] = {"<match>",
                                        "</match>",
                                        "<id>",
                                        "</id>",
                                        "<status>LIVE</status>",
                                        "<status>SOON</status>",
                                        "<score>",
                                        "</score>",
                                        "1:0",
                                        "<radar>",
                                        "</radar>",
                                        "<bfpr>",
                                        "</bfpr>",
                                        "<bf_live>",
                                        "</bf_live>",
                                        "<last>23:59</last>",
                                        ">>",
                                        "-",
                                        "2147483648",
                                        "\xff\xfe",
                                        "\n=====\n",
                                        "<",
                                        ">",
                                        "."};

std::string Mutate(std::string input, XorShift& random) {
  const int steps = 1 + static_cast<int>(random.Below(4));
  for (int i = 0; i < steps; ++i) {
    const std::size_t at = random.Below(input.size() + 1);
    switch (random.Below(6)) {
      case 0:  // flip a byte
        if (!input.empty()) {
          input[std::min(at, input.size() - 1)] ^= static_cast<char>(1 + random.Below(255));
        }
        break;
      case 1:  // cut a range out
        input.erase(at, random.Below(64));
        break;
      case 2:  // splice a token in
        input.insert(at, kTokens[random.Below(std::size(kTokens))]);
        break;
      case 3:  // repeat a piece
        if (!input.empty()) {
          const std::size_t from = random.Below(input.size());
          const std::string piece = input.substr(from, random.Below(256));
          input.insert(at, piece);
        }
        break;
      case 4:  // cut the tail
        input.resize(at);
        break;
      default:  // a random byte
        input.insert(at, 1, static_cast<char>(random.Below(256)));
        break;
    }
  }
  return input;
}

}  // namespace

int main(int argc, char** argv) {
  long mutations = 0;
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg.substr(0, 12) == "--mutations=") {
      mutations = std::strtol(argv[i] + 12, nullptr, 10);
      continue;
    }
    const std::filesystem::path path(argv[i]);
    if (std::filesystem::is_directory(path)) {
      for (const auto& entry : std::filesystem::directory_iterator(path)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
      }
    } else {
      files.push_back(path);
    }
  }
  std::sort(files.begin(), files.end());
  if (files.empty()) {
    std::fprintf(stderr, "no inputs to replay\n");
    return 2;
  }
  std::size_t runs = 0;
  XorShift random{0x9E3779B97F4A7C15ULL};
  for (const auto& file : files) {
    const std::string input = ReadAll(file);
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    ++runs;
    for (long m = 0; m < mutations; ++m) {
      const std::string mutated = Mutate(input, random);
      LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(mutated.data()), mutated.size());
      ++runs;
    }
  }
  std::printf("replayed %zu inputs from %zu files\n", runs, files.size());
  return 0;
}
