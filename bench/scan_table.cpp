// Benchmark of the whole scan: scrutafasci-emu scan on the built-in scenario for
// each search type of the settings window, on both satellites and both
// polarisations. Prints one table and writes it as CSV.
//
//   cmake --build build --target scan_table && build/bench/scan_table [--from MHZ --to MHZ]
//       [--searches standard,sr,agc] [--out DIR] [--csv FILE] [--emu PATH]
//
// The three searches of one satellite and polarisation share a box root, in
// this order: the standard scan writes the known symbol rates that the search
// by symbol rate needs. The search by AGC sweeps 2000 to 30000 kS/s.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Row {
  std::string search, pol, outcome;
  int satellite = 0, exitStatus = -1;
  double boxS = 0, wallS = 0, peakMiB = 0, recall = 0;
  int handedOver = 0, services = 0, inRange = 0, lockable = 0, found = 0, falseHandOvers = 0;
};

struct Child {
  int status = -1;
  double wallS = 0;
  long maxRssKib = 0;
};

Child runChild(const std::vector<std::string>& args, const std::string& logPath) {
  Child c;
  auto t0 = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    FILE* log = std::fopen(logPath.c_str(), "w");
    if (log) {
      dup2(fileno(log), 1);
      dup2(fileno(log), 2);
    }
    std::vector<char*> argv;
    std::vector<std::string> copy = args;
    for (auto& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int st = 0;
  rusage ru{};
  wait4(pid, &st, 0, &ru);
  c.wallS = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  c.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
  c.maxRssKib = ru.ru_maxrss;
  return c;
}

std::vector<std::string> split(const std::string& s, char sep) {
  std::vector<std::string> out;
  std::stringstream ss(s);
  std::string part;
  while (std::getline(ss, part, sep))
    if (!part.empty()) out.push_back(part);
  return out;
}

std::string cell(double v, int decimals) {
  char b[32];
  std::snprintf(b, sizeof b, "%.*f", decimals, v);
  return b;
}

void printRow(const Row& r, bool header) {
  if (header)
    std::printf("%-9s %5s %3s %10s %8s %8s %8s %8s %6s %7s %6s  %s\n", "search", "sat", "pol", "box_s", "wall_s",
                "peak_MiB", "in_range", "lockable", "found", "recall", "false", "outcome");
  std::printf("%-9s %5d %3s %10.1f %8.1f %8.1f %8d %8d %6d %6.1f%% %6d  %s\n", r.search.c_str(), r.satellite,
              r.pol.c_str(), r.boxS, r.wallS, r.peakMiB, r.inRange, r.lockable, r.found, r.recall * 100,
              r.falseHandOvers, r.outcome.c_str());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::string emu = SCRUTA_EMU_PATH, out = "bench-out", csv, from, to;
  std::vector<std::string> searches = {"standard", "sr", "agc"};
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "scan_table: %s needs a value\n", a.c_str());
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--emu") emu = value();
    else if (a == "--out") out = value();
    else if (a == "--csv") csv = value();
    else if (a == "--from") from = value();
    else if (a == "--to") to = value();
    else if (a == "--searches") searches = split(value(), ',');
    else {
      std::fprintf(stderr, "scan_table: unknown option %s (--from --to --searches --out --csv --emu)\n", a.c_str());
      return 2;
    }
  }
  if (csv.empty()) csv = out + "/scan_table.csv";
  fs::create_directories(out);

  const int satellites[] = {192, 130};
  const char* pols[] = {"H", "V"};
  std::vector<Row> rows;
  bool header = true;
  for (int sat : satellites)
    for (const char* pol : pols) {
      std::string tag = std::to_string(sat) + pol;
      std::string root = out + "/root-" + tag;
      fs::remove_all(root);
      for (const std::string& search : searches) {
        std::string report = out + "/report-" + search + "-" + tag + ".json";
        fs::remove(report);
        std::vector<std::string> args = {emu, "scan", "--quiet", "--root", root, "--satellite", std::to_string(sat),
                                         "--pol", pol, "--search", search, "--report", report};
        if (search == "agc") args.insert(args.end(), {"--sr-from", "2000", "--sr-to", "30000"});
        if (!from.empty()) args.insert(args.end(), {"--from", from});
        if (!to.empty()) args.insert(args.end(), {"--to", to});
        Child c = runChild(args, out + "/log-" + search + "-" + tag + ".txt");
        Row r;
        r.search = search;
        r.satellite = sat;
        r.pol = pol;
        r.exitStatus = c.status;
        r.wallS = c.wallS;
        r.peakMiB = c.maxRssKib / 1024.0;
        try {
          std::ifstream f(report);
          auto j = nlohmann::json::parse(f);
          r.outcome = j.value("outcome", "");
          r.boxS = j.value("box_time_s", 0.0);
          r.handedOver = static_cast<int>(j["handed_over"].size());
          r.services = static_cast<int>(j["services"].size());
          const auto& counts = j["truth"]["counts"];
          r.inRange = counts.value("in_range", 0);
          r.lockable = counts.value("lockable", 0);
          r.found = counts.value("found_lockable", 0);
          r.falseHandOvers = counts.value("false_handovers", 0);
          r.recall = j["truth"].value("recall", 0.0);
        } catch (const std::exception&) {
          r.outcome = "no report (exit status " + std::to_string(c.status) + ")";
        }
        if (c.status != 0 && r.outcome.find("exit") == std::string::npos)
          r.outcome += " (exit status " + std::to_string(c.status) + ")";
        printRow(r, header);
        header = false;
        rows.push_back(r);
      }
    }

  std::ofstream f(csv, std::ios::trunc);
  f << "search,satellite,pol,box_time_s,wall_time_s,peak_mib,in_range,lockable,found,recall,false_handovers,"
       "handed_over,services,exit_status,outcome\n";
  for (const Row& r : rows)
    f << r.search << ',' << r.satellite << ',' << r.pol << ',' << cell(r.boxS, 1) << ',' << cell(r.wallS, 2) << ','
      << cell(r.peakMiB, 1) << ',' << r.inRange << ',' << r.lockable << ',' << r.found << ',' << cell(r.recall, 4)
      << ',' << r.falseHandOvers << ',' << r.handedOver << ',' << r.services << ',' << r.exitStatus << ",\""
      << r.outcome << "\"\n";
  std::printf("\nCSV: %s\n", csv.c_str());
  for (const Row& r : rows)
    if (r.exitStatus != 0) return 1;
  return 0;
}
