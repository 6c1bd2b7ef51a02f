#pragma once

#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <vector>

// jxc-bench: the performance figures of the forms. Each area of the program
// adds its cases in a bench_<area>.cpp file with JXC_BENCH_CASE; main runs
// them in the order they were registered (or only those named on the
// command line) and prints one line per measurement.
namespace Bench {

struct Case
{
    QString name;
    std::function<bool()> run; // false when the case could not be measured
};

// Registers a case; returns a dummy value so registration can initialise a
// static variable.
int add(const QString &name, const std::function<bool()> &run);
const std::vector<Case> &cases();

// The sizes asked for on the command line; 0 (or empty) where a case is to
// use its own default.
struct Options
{
    int goods = 0;           // --goods N: goods items
    long long lines = 0;     // --lines N: document lines of the measured two years
    int olderYears = 0;      // --years N: years of older purchases before them
    QString dataDir;         // --data DIR: folder whose companies are kept and reused
};
Options &options();

// Seconds that body takes, by the monotonic clock.
double seconds(const std::function<void()> &body);

// Wall and processor time of body: the machine is shared, so the wall time
// alone says little about the program.
struct Timing
{
    double wall = 0;
    double cpu = 0; // user and system time of this process
};
Timing timed(const std::function<void()> &body);
double cpuSeconds();

// One indented line of a case's report, shown at once.
void say(const QString &text);

// Prints one measurement: what was timed, the time through the form, the
// time of the same statements run directly on the engine, and the target.
void report(const QString &what, double formSeconds, double engineSeconds, double targetSeconds);
// The same with the processor time of the form beside its wall time.
void report(const QString &what, const Timing &form, double engineSeconds, double targetSeconds);

// An embedded company of its own in a temporary data folder, opened as the
// default connection, with a user holding every right logged in. A case
// whose company is costly to build names it by its sizes: with a data folder
// given by --data, that company is kept there and, when it exists already,
// opened as it is (reused() tells so).
class Company
{
public:
    explicit Company(const QString &keptName = QString());
    ~Company();

    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    bool reused() const { return m_reused; }
    // The database file.
    QString fileName() const { return m_fileName; }

    // Runs sql on the default connection; false (and the error printed) when
    // it fails.
    bool exec(const QString &sql);

    // Writes the case's rows with write, which sets its error text when it
    // fails, unless skip says they are there already; *seconds gets the time
    // taken (0 when skipped). False, with the reason said, when the company
    // could not be opened or written.
    bool build(const std::function<void(QString *error)> &write, double *seconds, bool skip = false);

private:
    QTemporaryDir m_dir;
    QString m_error;
    QString m_fileName;
    bool m_reused = false;
};

} // namespace Bench

#define JXC_BENCH_CONCAT_(a, b) a##b
#define JXC_BENCH_CONCAT(a, b) JXC_BENCH_CONCAT_(a, b)

// Defines a benchmark case: JXC_BENCH_CASE(goodsForm, "goods") { ...; return true; }
#define JXC_BENCH_CASE(function, name)                                                   \
    static bool function();                                                              \
    static const int JXC_BENCH_CONCAT(function, Registered) = Bench::add(name, &function); \
    static bool function()
