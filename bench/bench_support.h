// Shared by the benchmark programs: clocks, the folder that holds the game's
// rsrc/, child processes that report numbers back, resident memory, and the
// statistics the tables print.
#ifndef VD_BENCH_SUPPORT_H
#define VD_BENCH_SUPPORT_H

#include <SDL.h>

#include <map>
#include <string>
#include <vector>

namespace vdbench {

// Monotonic wall clock in seconds; the same clock in every process of the
// machine, so a parent and its child can compare readings.
double Now();
// CPU seconds used so far by the whole process (every thread) / this thread.
double ProcessCpu();
double ThreadCpu();

// Makes the folder holding rsrc/ the working directory, as the game expects:
// $VD_DATA_DIR when set, else the build folder the benchmark was built in.
// False (with a message on stderr) when rsrc/ is not there.
bool EnterDataDir();

// Page faults of this process so far (minor: the page was in memory or was
// just zeroed, as on the first touch of fresh memory; major: read from disk).
long MinorFaults();
long MajorFaults();

// Resident memory of this process now / at its peak, in KiB (0 when unknown).
long ResidentKiB();
long PeakResidentKiB();

// Numbers a child process reports, by name.
using Report = std::map<std::string, double>;

// In a child: where its report goes (the descriptor named by --report-fd=N on
// the command line, -1 when absent). Report lines are "name value".
int ReportFd(int argc, char** argv);
void WriteReport(int fd, const Report& report);

// Runs this program again with `args` plus --report-fd, its standard output
// discarded, and collects its report. *started is Now() just before the
// child was created. False when the child could not run, failed, or
// reported nothing.
bool RunChild(const std::vector<std::string>& args, Report* report, double* started);

// Queues a key press for the engine's next input poll, as the keyboard would.
void PressKey(SDLKey key);

// Mean and nearest-rank percentile (p in 0..100) of a sample; 0 when empty.
double Mean(const std::vector<double>& v);
double Percentile(std::vector<double> v, double p);

}  // namespace vdbench

#endif
