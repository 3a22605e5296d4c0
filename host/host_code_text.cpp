#include <cstdio>

#include "base/host_codes.h"
#include "host/commands.h"

std::string DescribeHostCode(int code) {
  const char* meaning = "failed";
  switch (code) {
    case E_END_ARCHIVE: meaning = "no more files"; break;
    case E_NO_MEMORY: meaning = "not enough memory"; break;
    case E_BAD_DATA: meaning = "bad data"; break;
    case E_BAD_ARCHIVE: meaning = "bad archive"; break;
    case E_UNKNOWN_FORMAT: meaning = "unknown format"; break;
    case E_EOPEN: meaning = "cannot open"; break;
    case E_ECREATE: meaning = "cannot create"; break;
    case E_ECLOSE: meaning = "cannot close"; break;
    case E_EWRITE: meaning = "cannot write"; break;
    case E_TOO_MANY_FILES: meaning = "too many files"; break;
    case E_NOT_SUPPORTED: meaning = "not supported"; break;
    default: break;
  }
  return "error " + std::to_string(code) + " (" + meaning + ")";
}

void ReportFailure(const std::string& what, int code) {
  std::fprintf(stderr, "doved: %s: %s\n", what.c_str(), DescribeHostCode(code).c_str());
}
