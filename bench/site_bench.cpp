#include "meshed_site.h"

#include "layouts/layout.h"
#include "project/project_file.h"

#include <QDir>
#include <QJsonDocument>
#include <QString>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

// The object check at the size of a real site.
//
//   site_bench write DIR               writes the benchmark sites (meshed_N, square_N) and the
//                                      random layouts (random_NN) as layout files into DIR
//   site_bench record FILE...          checks each file's objects in this process and prints
//                                      file, object, verdict and least clearance (micrometres)
//   site_bench time LPLAYOUT DIR [S]   runs `LPLAYOUT --check` on each benchmark site in DIR
//                                      and prints its time and peak memory; a run still going
//                                      after S seconds (default 120) is killed and said so
namespace {

// The benchmark sites, in the order they are timed.
struct Case {
    std::string name;
    calc::layout::Layout layout;
};

std::vector<Case> benchmarkSites()
{
    std::vector<Case> cases;
    for (const int n : {1, 3, 10, 30, 100})
        cases.push_back({"meshed_" + std::to_string(n), bench::meshedSite(n)});
    for (const int side : {100, 200, 400, 800})
        cases.push_back({"square_" + std::to_string(side), bench::bareSquare(side)});
    return cases;
}

constexpr int kRandomLayouts = 24;

bool write(const QString &dir)
{
    std::vector<Case> cases = benchmarkSites();
    for (int i = 0; i < kRandomLayouts; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "random_%02d", i);
        cases.push_back({name, bench::randomLayout(static_cast<std::uint32_t>(1000 + i))});
    }
    QDir().mkpath(dir);
    for (const Case &c : cases) {
        lplayout::ProjectFile file;
        file.layout = c.layout;
        // One line: the larger sites are kept as test data.
        const QByteArray bytes = QJsonDocument::fromJson(lplayout::serializeProject(file))
                                     .toJson(QJsonDocument::Compact);
        QString error;
        const QString path = dir + QLatin1Char('/') + QString::fromStdString(c.name) + ".lplayout";
        if (!lplayout::saveWhole(path, bytes + '\n', &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return false;
        }
    }
    return true;
}

bool record(int argc, char **argv)
{
    for (int i = 2; i < argc; ++i) {
        const lplayout::LoadResult loaded = lplayout::loadProject(QString::fromLocal8Bit(argv[i]));
        if (!loaded.file) {
            std::fprintf(stderr, "%s\n", qPrintable(loaded.error));
            return false;
        }
        const auto &layout = loaded.file->layout;
        const auto verdicts = calc::layout::checkObjects(layout);
        const std::string file = QDir(argv[i]).dirName().toStdString();
        for (std::size_t k = 0; k < verdicts.size(); ++k)
            std::printf("%s\t%zu\t%s\t%.6f\n", file.c_str(), k,
                        verdicts[k].isProtected ? "protected" : "unprotected",
                        verdicts[k].leastClearance);
    }
    return true;
}

// Runs the program on one file; its wall time, peak resident memory and exit status (-1 when
// killed at the limit).
struct Run {
    double seconds = 0;
    long peakKb = 0;
    int status = 0;
};

Run timeOne(const char *program, const std::string &file, double limit)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execl(program, program, "--check", file.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    Run run;
    int status = 0;
    rusage usage{};
    for (;;) {
        const pid_t done = wait4(child, &status, WNOHANG, &usage);
        run.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (done == child) break;
        if (run.seconds > limit) {
            kill(child, SIGKILL);
            wait4(child, &status, 0, &usage);
            run.status = -1;
            run.peakKb = usage.ru_maxrss;
            return run;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    run.peakKb = usage.ru_maxrss;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    return run;
}

bool time(const char *program, const QString &dir, double limit)
{
    for (const Case &c : benchmarkSites()) {
        const std::string file = (dir + QLatin1Char('/')).toStdString() + c.name + ".lplayout";
        const Run run = timeOne(program, file, limit);
        const char *how = run.status == -1 ? "killed" : run.status >= 0 ? "exit" : "crashed";
        std::printf("%-12s %5zu conductors %4zu objects %10.3f s %10.1f MB  %s %d\n",
                    c.name.c_str(), c.layout.conductors.size(), c.layout.objects.size(),
                    run.seconds, run.peakKb / 1024.0, how, run.status);
        std::fflush(stdout);
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "write" && argc == 3) return write(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    if (mode == "record" && argc > 2) return record(argc, argv) ? 0 : 1;
    if (mode == "time" && (argc == 4 || argc == 5))
        return time(argv[2], QString::fromLocal8Bit(argv[3]), argc == 5 ? std::atof(argv[4]) : 120)
                   ? 0
                   : 1;
    std::fprintf(stderr, "usage: site_bench write DIR | record FILE... | time LPLAYOUT DIR [S]\n");
    return 2;
}
