#pragma once
// A support report: the parts a maintainer needs to see and replay what happened at a bench (the
// capture, the transcript, --version --json, --list --json), in one .tar.gz file, so that an
// operator sends one attachment and any archive tool opens it.
#include <QDateTime>
#include <string>
#include <vector>

struct ReportPart {
    std::string name;   // the file's name inside the archive
    std::string bytes;
};

// How much of a session the window keeps in memory for a report: the last opening's capture (a
// whole update makes about 350 kB) and the transcript's end.
inline constexpr std::size_t kReportCaptureBytes = 8 * 1024 * 1024;
inline constexpr std::size_t kReportTranscriptBytes = 1024 * 1024;

// "qz7-report-2026-12-09-235512-<slot>.tar.gz", in local time; the slot with every character but
// letters, digits and "._-" as "_".
std::string ReportFileName(const QDateTime& at, const std::string& slot);

// The parts as a POSIX tar archive (ustar), each a plain file of mode 0644 dated `at`.
std::string TarArchive(const std::vector<ReportPart>& parts, const QDateTime& at);
// `bytes` compressed as a gzip file.
std::string Gzip(const std::string& bytes);
// Writes the parts to `path` as a .tar.gz (made whole next to it, then renamed over it); the
// reason when it could not.
std::string WriteReport(const std::string& path, const std::vector<ReportPart>& parts, const QDateTime& at);
