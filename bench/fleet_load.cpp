// Fleet arithmetic: the requests a fleet of agents puts on one server, and the bytes one machine
// sends a day. Nothing is timed: the schedule is simulated second by second with a fixed seed.
//
// The schedule is the one the packages install. Each agent runs once an hour at a moment drawn
// anew each hour, uniform over the hour (the timer's OnCalendar=hourly with
// RandomizedDelaySec=1h). A run sends when the agent keeps an undelivered inventory, when the
// server's expiration has passed since the last accepted one, or when the inventory changed;
// with --every-run each run sends. A failed send is kept; the first failure in a row is retried
// by the next run, and from the second one on the agent leaves the server alone for a time drawn
// uniform in [0, min(1 h * 2^(failures - 2), expiration)].
//
// usage: fleet_load [--agents N] [--outage-minutes M] [--expiration-hours H]
//                   [--changes-per-day C] [--seed S] [NAME=BYTES...]
// NAME=BYTES are compressed document sizes (bench/fleet_sizes.sh measures them); for each, the
// bytes a machine sends a day on change and sending every run.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kHour = 3600;
// Hours simulated before the outage. The fleet starts with its last accepted inventories spread
// evenly over one expiration; from there, each send lands in the first run after the expiration,
// so the start's pattern echoes every day or so for weeks before it is smoothed away.
constexpr int kSettlingHours = 60 * 24;

struct Settings {
  int agents = 100000;
  int outage_minutes = 30;
  int expiration_hours = 24;
  double changes_per_day = 0;
  std::uint64_t seed = 20261208;
  std::vector<std::pair<std::string, long>> sizes;
};

struct Agent {
  std::int64_t accepted = 0;    // when the server last accepted an inventory
  std::int64_t not_before = 0;  // the back-off: no run sends before this
  int failures = 0;             // failed sends in a row
  bool kept = false;            // an undelivered inventory waits
};

struct Window {
  int peak = 0;
  double mean = 0;
};

// The requests each second of the simulated time, and how many sends succeeded in the day
// before the outage.
struct Load {
  std::vector<int> per_second;
  std::int64_t outage_start = 0;
  std::int64_t outage_end = 0;
  long sends_in_normal_day = 0;
};

Load Simulate(const Settings& settings, bool every_run) {
  std::mt19937_64 random(settings.seed);
  const std::int64_t expiration = std::int64_t{settings.expiration_hours} * kHour;
  const int hours = kSettlingHours + (settings.outage_minutes + 59) / 60 + 2;
  Load load;
  load.per_second.assign(static_cast<std::size_t>(hours) * kHour, 0);
  load.outage_start = std::int64_t{kSettlingHours} * kHour;
  load.outage_end = load.outage_start + std::int64_t{settings.outage_minutes} * 60;
  const std::int64_t normal_day_start = load.outage_start - 24 * kHour;

  std::uniform_int_distribution<std::int64_t> moment(0, kHour - 1);
  std::uniform_int_distribution<std::int64_t> last_accepted(-expiration, -1);
  std::bernoulli_distribution changed(std::min(1.0, settings.changes_per_day / 24));
  std::vector<Agent> agents(static_cast<std::size_t>(settings.agents));
  for (Agent& agent : agents) {
    agent.accepted = last_accepted(random);
  }
  for (int hour = 0; hour < hours; ++hour) {
    for (Agent& agent : agents) {
      const std::int64_t now = std::int64_t{hour} * kHour + moment(random);
      if (now < agent.not_before) {
        continue;
      }
      const bool due = every_run || agent.kept || now >= agent.accepted + expiration;
      if (!changed(random) && !due) {
        continue;
      }
      ++load.per_second[static_cast<std::size_t>(now)];
      if (now >= load.outage_start && now < load.outage_end) {
        agent.kept = true;
        if (++agent.failures >= 2) {
          const double cap = std::ldexp(double{kHour}, agent.failures - 2);
          const auto wait = static_cast<std::int64_t>(std::min(cap, double(expiration)));
          agent.not_before = now + std::uniform_int_distribution<std::int64_t>(0, wait)(random);
        }
        continue;
      }
      agent = Agent{now, 0, 0, false};
      if (now >= normal_day_start && now < load.outage_start) {
        ++load.sends_in_normal_day;
      }
    }
  }
  return load;
}

Window Measure(const Load& load, std::int64_t from, std::int64_t to) {
  Window window;
  long total = 0;
  for (std::int64_t second = from; second < to; ++second) {
    const int requests = load.per_second[static_cast<std::size_t>(second)];
    window.peak = std::max(window.peak, requests);
    total += requests;
  }
  window.mean = double(total) / double(to - from);
  return window;
}

bool Parse(int argc, char** argv, Settings& settings) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == "--agents" && has_value) {
      settings.agents = std::atoi(argv[++i]);
    } else if (arg == "--outage-minutes" && has_value) {
      settings.outage_minutes = std::atoi(argv[++i]);
    } else if (arg == "--expiration-hours" && has_value) {
      settings.expiration_hours = std::atoi(argv[++i]);
    } else if (arg == "--changes-per-day" && has_value) {
      settings.changes_per_day = std::atof(argv[++i]);
    } else if (arg == "--seed" && has_value) {
      settings.seed = std::strtoull(argv[++i], nullptr, 10);
    } else if (const auto equals = arg.find('='); equals != std::string_view::npos) {
      settings.sizes.emplace_back(std::string(arg.substr(0, equals)),
                                  std::atol(argv[i] + equals + 1));
    } else {
      return false;
    }
  }
  return settings.agents > 0 && settings.outage_minutes >= 0 &&
         settings.outage_minutes <= 24 * 60 && settings.expiration_hours > 0;
}

}  // namespace

int main(int argc, char** argv) {
  Settings settings;
  if (!Parse(argc, argv, settings)) {
    std::fprintf(stderr,
                 "usage: fleet_load [--agents N] [--outage-minutes M] "
                 "[--expiration-hours H] [--changes-per-day C] [--seed S] "
                 "[NAME=BYTES...]\n");
    return 2;
  }
  std::printf("%d agents, expiration %d h, %.1f changes a day, a %d-minute outage, seed %llu\n\n",
              settings.agents, settings.expiration_hours, settings.changes_per_day,
              settings.outage_minutes, static_cast<unsigned long long>(settings.seed));
  std::printf(
      "| policy | normal hour: peak/s | mean/s | hour after the outage: peak/s | mean/s "
      "|\n|---|---|---|---|---|\n");
  double sends_a_day = 0;
  for (const bool every_run : {false, true}) {
    const Load load = Simulate(settings, every_run);
    const Window normal = Measure(load, load.outage_start - kHour, load.outage_start);
    const Window after = Measure(load, load.outage_end, load.outage_end + kHour);
    std::printf("| %s | %d | %.2f | %d | %.2f |\n", every_run ? "every run" : "on change",
                normal.peak, normal.mean, after.peak, after.mean);
    if (!every_run) {
      sends_a_day = double(load.sends_in_normal_day) / settings.agents;
    }
  }
  if (settings.sizes.empty()) {
    return 0;
  }
  std::printf("\nOn change, a machine sends %.2f times a day; every run, 24 times.\n\n",
              sends_a_day);
  std::printf(
      "| document | compressed bytes | a day on change | a day every run |\n"
      "|---|---|---|---|\n");
  for (const auto& [name, bytes] : settings.sizes) {
    std::printf("| %s | %ld | %.0f | %ld |\n", name.c_str(), bytes, sends_a_day * double(bytes),
                24 * bytes);
  }
  return 0;
}
