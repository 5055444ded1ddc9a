// A seeded mutation loop for a fuzz target where libFuzzer is not at hand:
// every seed file as it is, then random mutations of the seeds (bytes
// flipped, inserted, deleted, pieces of other seeds and of the format's own
// words spliced in), for a number of runs or seconds. The same arguments
// give the same inputs; a broken input ends the run with the target's
// abort, under the sanitizers with their report.
//
//   fuzz_driver [--runs N] [--seconds S] [--seed N] SEED_FOLDER...

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

// Pieces of the configuration format, so that mutations reach its labels and rows.
const char* const words[] = {"Streckendaten:", "Reibfaktor                     :",
                             "Entfernung          in Meter   :", "Winkel des Rades    in Grad    :",
                             "Zeit zwischen den Schritten  in ms :", ";", ",", ".", "\r\n", "\n", "\r", "-", "e",
                             "1e259", "1e300", "0.00004", "99999999", "nan", " ", "0;0.3;-25\r\n"};

void run(const std::string& input) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
}

std::string mutated(const std::vector<std::string>& seeds, std::mt19937& random) {
    std::string input = seeds[random() % seeds.size()];
    const int changes = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < changes; ++i) {
        const std::size_t at = input.empty() ? 0 : random() % (input.size() + 1);
        switch (random() % 6) {
            case 0:
                if (at < input.size()) input[at] = static_cast<char>(input[at] ^ (1u << (random() % 8)));
                break;
            case 1: input.insert(at, 1, static_cast<char>(random() % 256)); break;
            case 2: input.erase(at, 1 + random() % 16); break;
            case 3: input.insert(at, words[random() % std::size(words)]); break;
            case 4: {
                const std::string& other = seeds[random() % seeds.size()];
                const std::size_t from = other.empty() ? 0 : random() % other.size();
                input.insert(at, other.substr(from, 1 + random() % 64));
                break;
            }
            default:
                if (at < input.size()) input[at] = static_cast<char>('0' + random() % 10);
                break;
        }
    }
    return input;
}

}  // namespace

int main(int argc, char* argv[]) {
    long runs = 1000;
    double seconds = 0.0;  // 0: no time limit
    unsigned seed = 1;
    std::vector<std::string> seeds;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) runs = std::atol(argv[++i]);
        else if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) seconds = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) seed = static_cast<unsigned>(std::atol(argv[++i]));
        else if (std::filesystem::is_directory(argv[i])) {
            for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
                std::ifstream in(entry.path(), std::ios::binary);
                seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            }
        } else {
            std::fprintf(stderr, "usage: %s [--runs N] [--seconds S] [--seed N] SEED_FOLDER...\n", argv[0]);
            return 2;
        }
    }
    if (seeds.empty()) seeds.emplace_back();
    for (const std::string& input : seeds) run(input);

    std::mt19937 random(seed);
    const auto start = std::chrono::steady_clock::now();
    long done = 0;
    for (; done < runs; ++done) {
        if (seconds > 0.0 && std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() > seconds) {
            break;
        }
        run(mutated(seeds, random));
    }
    std::printf("%ld mutated inputs and %zu seeds, none broken\n", done, seeds.size());
    return 0;
}
