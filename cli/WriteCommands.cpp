// pt4cli write: the safety pre-read, the programming pass, and production runs.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>

#include "base/Stop.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/ProductionLog.h"

namespace pt4::cli {

namespace {
constexpr std::size_t kListedDifferences = 8;  // addresses named in a refusal
constexpr std::size_t kAnswerLimit = 256;      // bytes of the operator's answer at the prompt

enum class Answer { Line, End, TooLong };

// The operator's answer at the prompt, read a byte at a time so that the Enters
// typed ahead for the next chips stay in the input. A stop signal ends the wait
// as it ends a pass; a line that never ends (a file or a device for input) ends
// the batch instead of filling the memory.
Answer ReadAnswer() {
  for (std::size_t n = 0;;) {
    ThrowIfStopRequested();
    char c = 0;
    const long r = ReadInput(&c, 1);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return Answer::End;
    if (c == '\n') return Answer::Line;
    if (++n > kAnswerLimit) return Answer::TooLong;
  }
}
}  // namespace

void Cli::PrintPlan(const WritePlan& plan) {
  std::fprintf(stderr, "%d words already equal, %d words to program, %d words can never match\n",
               plan.counts.IdenticalCount, plan.counts.ProgrammableCount, plan.counts.BadCount);
}

void Cli::NameBadWords(const WritePlan& plan) {
  std::size_t named = 0;
  for (const auto& d : plan.differences) {
    if (!d.bad) continue;
    if (named++ == kListedDifferences) {
      std::fprintf(stderr, "  ... and %zu more\n",
                   static_cast<std::size_t>(plan.counts.BadCount) - kListedDifferences);
      break;
    }
    std::fprintf(stderr, "  %s: chip %s, image %s\n",
                 Hex(static_cast<unsigned>(d.address), 5).c_str(), Hex(d.chip, 2).c_str(),
                 Hex(d.image, 2).c_str());
  }
}

// A production log's line for one chip.
Json Cli::ChipLine(int chip, const VerifyCounters& counts, const char* result,
                   std::chrono::steady_clock::time_point start, const PulseAudit* audit) {
  Json line{{"time", IsoTimeNow()},
            {"chip", chip},
            {"image", Json{{"path", JsonText(o_.file)}, {"crc32", json_["image"]["crc32"]}}},
            {"counts", CountsJson(counts)},
            {"result", result}};
  if (audit != nullptr) line["pulses"] = AuditJson(*audit);
  line["duration_s"] =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return line;
}

// One chip: the safety check, the write, the report. `chipJson` collects the log line.
int Cli::WriteOne(int chip, Json* chipJson) {
  const auto start = std::chrono::steady_clock::now();
  LoadedImage l = loaded_;
  json_["image"] = ImageJson(o_.file, l.format, l.image, l.stored, o_.params.CompMask);
  // A fuse cannot be unblown: a chip with a bit set where the image wants 0 is
  // refused before a single pulse is spent on it.
  bool floating = false;
  const WritePlan plan = ReadPlan(l.image, &floating);
  // Nothing answered: no chip to refuse or to write, and nothing to advise
  // forcing. A chip with every fuse blown that the image wants so is identical
  // all the same. --force still writes, as asked: pulses into an empty socket,
  // or into fuses blown already, harm nothing.
  noChip_ = floating && plan.counts.IdenticalCount != kChipWords && !o_.force;
  if (floating && o_.force) SayNoChip();
  if (noChip_) {
    SayNoChip();
    if (!o_.json) std::fprintf(stderr, "Nothing was pulsed.\n");
    json_["counts"] = CountsJson(plan.counts);
    json_["result"] = "no_chip";
    if (chipJson != nullptr) *chipJson = ChipLine(chip, plan.counts, "no_chip", start, nullptr);
    return kExitRefused;
  }
  if (o_.dryRun || (plan.counts.BadCount > 0 && !o_.force)) {
    const bool refused = plan.counts.BadCount > 0;
    if (!o_.json) {
      if (o_.dryRun) PrintPlan(plan);
      if (refused) {
        std::fprintf(
            stderr, "%s: %d %s a blown bit the image lacks:\n",
            o_.dryRun ? "A write would be refused" : "pt4cli: write refused, nothing was pulsed",
            plan.counts.BadCount, plan.counts.BadCount == 1 ? "word has" : "words have");
        NameBadWords(plan);
        if (!o_.dryRun) std::fprintf(stderr, "Use --force to write anyway.\n");
      }
    }
    json_["counts"] = CountsJson(plan.counts);
    json_["differences"] = DifferencesJson(plan);
    json_["result"] = refused ? "refused" : o_.dryRun ? "dry run" : "done";
    if (chipJson != nullptr) *chipJson = ChipLine(chip, plan.counts, "refused", start, nullptr);
    if (o_.quiet && !o_.json && chipJson == nullptr) {
      std::printf("%s\n", json_["result"].get<std::string>().c_str());
    }
    return refused ? kExitRefused : 0;
  }
  if (!o_.quiet && !o_.json) PrintLine(stderr, WriteParamsText(o_.params), Colour::Black, false);
  view_.label = "write ";
  PulseAudit audit;
  audit.widthsNs.reserve(static_cast<std::size_t>(kChipWords) * 4);
  auto ctx = Ctx(l.image, &audit);
  view_.CountPasses();
  writing_ = true;
  WritePass(ctx);
  writing_ = false;
  view_.EndBar();
  const int rc = VerdictCode(counters_);
  if (!o_.json) {
    if (!o_.quiet) std::fprintf(stderr, "%s\n", audit.Line().c_str());
    if (audit.Excessive()) std::fprintf(stderr, "pt4cli: warning: %s\n", audit.Warning().c_str());
    // Quiet, every verb still ends with its verdict in one line (a batch says it per chip).
    if (o_.quiet && chipJson == nullptr) std::printf("%s\n", ResultName(rc));
  }
  json_["counts"] = CountsJson(counters_);
  json_["result"] = ResultName(rc);
  json_["pulses"] = AuditJson(audit);
  if (chipJson != nullptr) *chipJson = ChipLine(chip, counters_, ResultName(rc), start, &audit);
  return rc;
}

std::string Cli::StoppedWrite() const {
  if (!writing_) return {};
  if (view_.Passes() >= 2) return "the write was complete; the compare after it was not";
  const std::int32_t done = view_.FirstPassDone();
  if (done < 0) return "the chip is partly written: no word was finished, word 00 was under way";
  std::string said = "the chip is partly written: words 00-" + Hex(static_cast<unsigned>(done), 2) +
                     " were programmed";
  if (done + 1 < kChipWords)
    said += ", word " + Hex(static_cast<unsigned>(done + 1), 2) + " was under way";
  if (done + 2 < kChipWords)
    said += ", words " + Hex(static_cast<unsigned>(done + 2), 2) + "-FF untouched";
  return said;
}

int Cli::Repeat() {
  ProductionLog log(o_.log);
  int chips = 0, identical = 0, failed = 0, rc = 0;
  auto tally = [&] {
    std::fprintf(stderr, "chips %d, identical %d, failed %d\n", chips, identical, failed);
    json_["tally"] = Json{{"chips", chips}, {"identical", identical}, {"failed", failed}};
  };
  try {
    for (int chip = 1;;) {
      Json line;
      const int one = WriteOne(chip, &line);
      log.Append(line);
      if (!o_.json) {
        std::printf("chip %d: %s\n", chip, line["result"].get<std::string>().c_str());
        std::fflush(stdout);
      }
      // An empty socket is no chip: it is not counted, and the same chip is asked for again.
      if (!noChip_) {
        ++chips;
        (one == 0 ? identical : failed) += 1;
        rc = std::max(rc, one);
        if (o_.stopOnFail && one != 0) break;
        ++chip;
      }
      std::fprintf(stderr, noChip_ ? "Insert the chip and press Enter (end of input stops): "
                                   : "Insert the next chip and press Enter (end of input stops): ");
      const Answer answer = ReadAnswer();
      // An answer from a terminal ends the prompt's line with its echo; one
      // from a pipe or file does not, and what follows must not run on.
      if (answer == Answer::Line && !IsTerminal(0)) std::fputc('\n', stderr);
      if (answer != Answer::Line) {
        std::fputc('\n', stderr);
        if (answer == Answer::TooLong) {
          std::fprintf(stderr, "pt4cli: the answer is longer than %zu bytes; the batch ends.\n",
                       kAnswerLimit);
        }
        break;
      }
      if (!noChip_) session_->NextChip();
    }
  } catch (...) {
    // Ctrl+C between chips (or in one: that chip is not counted as finished), or
    // a log that cannot be written: what was done is said all the same.
    tally();
    throw;
  }
  tally();
  return rc;
}

}  // namespace pt4::cli
