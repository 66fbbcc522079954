// The flash report: frames read back and measured, the table, the JSON, the
// capture's warning.

#include "app/flash_report.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "app/frame_grab.h"
#include "app/json_text.h"
#include "core/gl_window.h"
#include "platform/stop_signals.h"

namespace {

namespace fs = std::filesystem;

const char* KindName(FlashKind kind) { return kind == FlashKind::Red ? "red" : "general"; }

// The time a section's failing seconds are counted in: from its first frame
// to the next section's first frame (or its own last).
void SectionRange(const FlashLog& log, int s, double& from, double& to) {
  const auto& sections = log.Sections();
  from = sections[s].start;
  to = sections[s].end;
  for (size_t next = s + 1; next < sections.size(); ++next) {
    if (sections[next].frames > 0) {
      to = sections[next].start;
      break;
    }
  }
}

std::string SpansText(const FlashLog& log, double from, double to) {
  std::string text;
  for (const FlashSpan& span : log.Spans()) {
    if (span.end <= from || span.start >= to) continue;
    char count[48];
    std::snprintf(count, sizeof count, " (%s %.1f)", KindName(span.kind), span.count);
    text += (text.empty() ? "" : ", ") + FlashSpanText(span) + count;
  }
  return text.empty() ? "-" : text;
}

}  // namespace

bool FlashWatch::Wants(const DemoFrame& frame) const {
  return frame.phase == DemoPhase::Timeline && frame.section >= 0 && frame.section < kShowSections &&
         frame.showTime >= from_ && frame.showTime <= to_;
}

bool FlashWatch::Done(const DemoFrame& frame) const {
  return frame.phase == DemoPhase::Timeline && frame.showTime > to_;
}

void FlashWatch::Add(const DemoFrame& frame, const TImage& image) {
  if (!Wants(frame)) return;
  ReduceFrame(image.Pixels.data(), image.Width, image.Height, image.BytesPerPixel, cells_);
  log_.Add(frame.showTime, frame.section, meter_.AddFrame(cells_, frame.showTime));
}

std::string FormatFlashTable(const FlashLog& log, const std::string& heading) {
  std::string text = heading + "\n";
  text +=
      "more than 3 flashes in a second fail (a flash: a pair of opposing changes of 0.1 in relative\n"
      "luminance, darker state below 0.8, or of 20 in saturated red, over a ninth of the screen)\n\n";
  char line[512];
  std::snprintf(line, sizeof line, "%-8s %13s %10s %13s %9s  %s\n", "section", "show s", "failing s",
                "worst general", "worst red", "failing spans (s)");
  text += line;
  double first = -1.0, last = 0.0;
  for (int s = 0; s < static_cast<int>(log.Sections().size()); ++s) {
    const FlashLog::Section& section = log.Sections()[s];
    if (section.frames == 0) {
      std::snprintf(line, sizeof line, "%-8d %13s %10s %13s %9s  -\n", s, "-", "-", "-", "-");
      text += line;
      continue;
    }
    if (first < 0.0) first = section.start;
    last = section.end;
    double from = 0.0, to = 0.0;
    SectionRange(log, s, from, to);
    char range[48];
    std::snprintf(range, sizeof range, "%.1f-%.1f", section.start, section.end);
    std::snprintf(line, sizeof line, "%-8d %13s %10.1f %13.1f %9.1f  %s\n", s, range,
                  log.FailingSeconds(from, to), section.worst.general, section.worst.red,
                  SpansText(log, from, to).c_str());
    text += line;
  }
  const FlashCounts worst = log.Worst();
  char range[48] = "-";
  if (first >= 0.0) std::snprintf(range, sizeof range, "%.1f-%.1f", first, last);
  std::snprintf(line, sizeof line, "%-8s %13s %10.1f %13.1f %9.1f\n", "show", range, log.FailingSeconds(),
                worst.general, worst.red);
  text += line;
  std::snprintf(line, sizeof line, "\n%s: %.1f s with more than three flashes in a second, worst %.1f a second\n",
                log.FailingSeconds() > 0.0 ? "FAILS" : "passes", log.FailingSeconds(),
                std::max(worst.general, worst.red));
  text += line;
  return text;
}

std::string FormatFlashJson(const FlashLog& log, const RunOptions& options, double scale) {
  const FlashCounts worst = log.Worst();
  std::string json = "{\n";
  json += "  \"steps_per_second\": " +
          (options.fps.denominator == 1 ? std::to_string(options.fps.numerator)
                                        : JsonNumber(FramesPerSecond(options.fps), "%.6f")) +
          ",\n";
  json += "  \"scale\": " + JsonNumber(scale, "%.4f") + ",\n";
  json += std::string("  \"gentle\": ") + (options.gentle ? "true" : "false") + ",\n";
  json += "  \"frames\": " + std::to_string(log.Frames()) + ",\n";
  json += "  \"limit_per_second\": " + JsonNumber(kFlashLimit, "%.0f") + ",\n";
  json += "  \"failing_s\": " + JsonNumber(log.FailingSeconds()) + ",\n";
  json += "  \"worst_general\": " + JsonNumber(worst.general, "%.1f") + ",\n";
  json += "  \"worst_red\": " + JsonNumber(worst.red, "%.1f") + ",\n";
  json += "  \"sections\": [\n";
  const int sections = static_cast<int>(log.Sections().size());
  for (int s = 0; s < sections; ++s) {
    const FlashLog::Section& section = log.Sections()[s];
    json += "    {\"section\": " + std::to_string(s) + ", \"frames\": " + std::to_string(section.frames);
    if (section.frames > 0) {
      double from = 0.0, to = 0.0;
      SectionRange(log, s, from, to);
      json += ", \"start\": " + JsonNumber(section.start) + ", \"end\": " + JsonNumber(section.end) +
              ", \"failing_s\": " + JsonNumber(log.FailingSeconds(from, to)) +
              ", \"worst_general\": " + JsonNumber(section.worst.general, "%.1f") +
              ", \"worst_red\": " + JsonNumber(section.worst.red, "%.1f");
    }
    json += std::string("}") + (s + 1 < sections ? ",\n" : "\n");
  }
  json += "  ],\n  \"spans\": [";
  const std::vector<FlashSpan> spans = log.Spans();
  for (size_t i = 0; i < spans.size(); ++i) {
    json += std::string(i == 0 ? "\n" : ",\n") + "    {\"start\": " + JsonNumber(spans[i].start) +
            ", \"end\": " + JsonNumber(spans[i].end) + ", \"kind\": " + JsonString(KindName(spans[i].kind)) +
            ", \"count\": " + JsonNumber(spans[i].count, "%.1f") + "}";
  }
  json += spans.empty() ? "]\n" : "\n  ]\n";
  return json + "}\n";
}

std::string FlashWarning(const FlashLog& log, bool gentle) {
  const double seconds = log.FailingSeconds();
  if (seconds <= 0.0) return "";
  char text[200];
  std::snprintf(text, sizeof text, "this video flashes more than three times a second for %.0f s%s",
                std::max(1.0, std::round(seconds)), gentle ? "" : "; `--gentle` makes one that does not");
  return text;
}

int RunFlashReport(const RunOptions& options) {
  // The JSON path is made absolute first: the show changes the current directory.
  std::error_code error;
  const fs::path json = options.jsonFile.empty() ? fs::path() : fs::absolute(options.jsonFile, error);
  if (!json.empty() && !fs::is_directory(json.parent_path(), error)) {
    std::fprintf(stderr, "veloria: cannot write %s: no directory %s\n", options.jsonFile.c_str(),
                 json.parent_path().string().c_str());
    return 1;
  }
  FlashWatch watch(options.spanFrom, options.spanTo);
  TImage image;
  const int status = RunDemoObserved(options, [&](const DemoFrame& frame) {
    if (StopSignal() != 0 || watch.Done(frame)) return false;
    if (watch.Wants(frame)) {
      // RGBA is the frame's own layout: the cheapest read back.
      GrabFrameInto(ActiveFrame.Width, ActiveFrame.Height, image, 4);
      watch.Add(frame, image);
    }
    return true;
  });
  if (StopSignal() != 0) return ExitStatusAfterStop(1);
  if (status != 0 || watch.Log().Frames() == 0) {
    std::fprintf(stderr, "veloria: --flash-report measured no frame of the show\n");
    return 1;
  }
  char heading[200];
  std::snprintf(heading, sizeof heading, "veloria flash report: %s show, %s steps/s, frame %dx%d (scale %.2f)",
                options.gentle ? "gentle" : "designed", FrameRateText(options.fps).c_str(), ActiveFrame.Width,
                ActiveFrame.Height, ActiveFrame.Scale);
  std::fputs(FormatFlashTable(watch.Log(), heading).c_str(), stdout);
  std::fflush(stdout);
  if (!json.empty()) {
    errno = 0;
    std::ofstream out(json, std::ios::trunc);
    out << FormatFlashJson(watch.Log(), options, ActiveFrame.Scale);
    out.close();
    if (!out) {
      std::fprintf(stderr, "veloria: cannot write %s: %s\n", options.jsonFile.c_str(),
                   errno != 0 ? std::strerror(errno) : "write error");
      return 1;
    }
  }
  return 0;
}
