// Summarises the runs of the start-up benchmark as a Markdown table: per program the median and
// the range (min–max) of each measure over the counted rounds, the subject's ratio to the floor
// and to every other program, and whether the subject meets its targets.
//
// Usage: bench_report [--subject NAME] [--floor NAME] RUNS.tsv
// RUNS.tsv holds one line per run: the round number (0 is the warm-up round, not counted)
// followed by the line bench_measure printed.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Program {
    std::vector<double> map, paint, hwm, ticks, cpu, wakeups, threads;
    std::map<std::string, long> woken; // thread name -> switches over all counted runs
    int failed = 0;
};

std::optional<double> number(const std::string& text) {
    if (text.empty() || text == "NA") {
        return std::nullopt;
    }
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str()) {
        return std::nullopt;
    }
    return value;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string cell(const std::vector<double>& values, double scale, int decimals) {
    if (values.empty()) {
        return "n/a";
    }
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    char text[96];
    std::snprintf(text, sizeof text, "%.*f (%.*f–%.*f)", decimals, median(values) * scale, decimals, *lo * scale,
                  decimals, *hi * scale);
    return text;
}

std::string ratio(const std::vector<double>& subject, const std::vector<double>& other) {
    if (subject.empty() || other.empty() || median(other) == 0) {
        return "n/a";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", median(subject) / median(other));
    return text;
}

} // namespace

int main(int argc, char** argv) {
    std::string subject = "swatchly";
    std::string floorName = "floor";
    std::string path;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--subject" && i + 1 < argc) {
            subject = argv[++i];
        } else if (arg == "--floor" && i + 1 < argc) {
            floorName = argv[++i];
        } else {
            path = arg;
        }
    }
    std::ifstream in(path);
    if (path.empty() || !in) {
        std::fprintf(stderr, "usage: bench_report [--subject NAME] [--floor NAME] RUNS.tsv\n");
        return 2;
    }

    std::vector<std::string> order;
    std::map<std::string, Program> programs;
    int rounds = 0;
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> f;
        std::stringstream fields(line);
        std::string field;
        while (std::getline(fields, field, '\t')) {
            f.push_back(field);
        }
        if (f.size() < 10) {
            continue;
        }
        const int round = std::atoi(f[0].c_str());
        if (round == 0) {
            continue; // warm-up
        }
        rounds = std::max(rounds, round);
        const std::string& name = f[1];
        if (programs.find(name) == programs.end()) {
            order.push_back(name);
        }
        Program& p = programs[name];
        const auto map = number(f[2]);
        if (!map) {
            ++p.failed;
            continue;
        }
        p.map.push_back(*map);
        for (auto [text, values] : {std::pair{&f[3], &p.paint},
                                    {&f[4], &p.hwm},
                                    {&f[5], &p.ticks},
                                    {&f[6], &p.cpu},
                                    {&f[7], &p.wakeups},
                                    {&f[8], &p.threads}}) {
            if (const auto value = number(*text)) {
                values->push_back(*value);
            }
        }
        std::stringstream woken(f[9]);
        while (std::getline(woken, field, ',')) {
            const auto colon = field.rfind(':');
            if (field != "-" && colon != std::string::npos) {
                p.woken[field.substr(0, colon)] += std::atol(field.c_str() + colon + 1);
            }
        }
    }
    if (programs.empty()) {
        std::fprintf(stderr, "bench_report: no counted runs in %s\n", path.c_str());
        return 1;
    }

    std::printf("Medians over %d counted rounds, (min–max) in brackets.\n\n", rounds);
    std::printf("| program | exec → map (ms) | exec → first paint (ms) | VmHWM (MiB) | idle CPU (ms) | idle CPU "
                "(ticks) | idle wake-ups | threads | runs |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|\n");
    for (const std::string& name : order) {
        const Program& p = programs[name];
        std::printf("| %s | %s | %s | %s | %s | %s | %s | %s | %zu%s |\n", name.c_str(), cell(p.map, 1, 0).c_str(),
                    cell(p.paint, 1, 0).c_str(), cell(p.hwm, 1.0 / 1024, 1).c_str(), cell(p.cpu, 1e-3, 2).c_str(),
                    cell(p.ticks, 1, 0).c_str(), cell(p.wakeups, 1, 0).c_str(), cell(p.threads, 1, 0).c_str(),
                    p.map.size(), p.failed != 0 ? (" (" + std::to_string(p.failed) + " failed)").c_str() : "");
    }

    const auto found = programs.find(subject);
    if (found == programs.end()) {
        return 0;
    }
    const Program& s = found->second;
    std::printf("\n%s's ratio to each program (median / median; below 1 is better):\n\n", subject.c_str());
    std::printf("| %s vs | exec → map | exec → first paint | VmHWM |\n|---|---|---|---|\n", subject.c_str());
    for (const std::string& name : order) {
        if (name != subject) {
            const Program& o = programs[name];
            std::printf("| %s | %s | %s | %s |\n", name.c_str(), ratio(s.map, o.map).c_str(),
                        ratio(s.paint, o.paint).c_str(), ratio(s.hwm, o.hwm).c_str());
        }
    }

    // Targets: start-up and memory against the floor and every other program, and a truly idle
    // program (not one tick, not one wake-up, in any counted run).
    std::printf("\nTargets for %s:\n\n", subject.c_str());
    auto verdict = [](bool ok) { return ok ? "met" : "MISSED"; };
    bool belowPeersMap = true;
    bool belowPeersHwm = true;
    std::string peersMap;
    std::string peersHwm;
    for (const std::string& name : order) {
        if (name == subject || name == floorName) {
            continue;
        }
        const Program& o = programs[name];
        if (!o.map.empty() && !s.map.empty() && median(s.map) >= median(o.map)) {
            belowPeersMap = false;
            peersMap += " " + name;
        }
        if (!o.hwm.empty() && !s.hwm.empty() && median(s.hwm) >= median(o.hwm)) {
            belowPeersHwm = false;
            peersHwm += " " + name;
        }
    }
    const auto floorIt = programs.find(floorName);
    if (floorIt != programs.end() && !s.map.empty() && !floorIt->second.map.empty()) {
        const double mapRatio = median(s.map) / median(floorIt->second.map);
        const double hwmRatio = median(s.hwm) / median(floorIt->second.hwm);
        std::printf("- exec → map at most 1.15 × the floor: %.2f × — %s\n", mapRatio, verdict(mapRatio <= 1.15));
        std::printf("- VmHWM at most 1.10 × the floor: %.2f × — %s\n", hwmRatio, verdict(hwmRatio <= 1.10));
    }
    std::printf("- exec → map below every peer: %s%s\n", verdict(belowPeersMap),
                belowPeersMap ? "" : (" (not below:" + peersMap + ")").c_str());
    std::printf("- VmHWM below every peer: %s%s\n", verdict(belowPeersHwm),
                belowPeersHwm ? "" : (" (not below:" + peersHwm + ")").c_str());
    const double maxCpu = s.cpu.empty() ? NAN : *std::max_element(s.cpu.begin(), s.cpu.end());
    const double maxTicks = s.ticks.empty() ? NAN : *std::max_element(s.ticks.begin(), s.ticks.end());
    const double maxWakeups = s.wakeups.empty() ? NAN : *std::max_element(s.wakeups.begin(), s.wakeups.end());
    std::printf("- zero CPU time over the idle seconds in every run: max %.0f ticks, %.3f ms — %s\n", maxTicks,
                maxCpu / 1000, verdict(maxTicks == 0 && maxCpu == 0));
    std::printf("- zero wake-ups over the idle seconds in every run: max %.0f — %s\n", maxWakeups,
                verdict(maxWakeups == 0));
    for (const std::string& name : order) {
        const Program& p = programs[name];
        if (!p.woken.empty()) {
            std::string threads;
            for (const auto& [thread, switches] : p.woken) {
                threads += (threads.empty() ? "" : ", ") + thread + " " + std::to_string(switches);
            }
            std::printf("\nThreads of %s that ran while idle (voluntary switches, all counted runs): %s\n",
                        name.c_str(), threads.c_str());
        }
    }
    return 0;
}
