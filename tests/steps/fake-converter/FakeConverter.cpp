// A stand-in for the converter in tests. It follows a script, one command a
// line, read from the file named by "--script FILE" or by the environment
// variable VIDLARK_FAKE_CONVERTER_SCRIPT:
//   print TEXT      write TEXT to standard output, wait until the reader took it
//   eprint TEXT     the same on standard error
//   write TEXT      write TEXT without waiting (several writes make one chunk)
//   sleep MS        sleep
//   output TEXT     write TEXT into the output file (the last argument)
//   probe FILE      write what the runner gave us into FILE (see below)
//   hang            ignore SIGTERM and sleep until killed (60 s at most)
//   exit CODE       end with CODE (the end of the script ends with 0)
// TEXT understands \n \r \t \\ \0 and \xHH. Given ffmpeg-style arguments
// ("-i INPUT ... OUTPUT"), it behaves like ffmpeg with no terminal: a missing
// input or an existing output ends it with code 1 before the script runs.
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

std::string unescape(const std::string &text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        switch (c) {
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case '0':
            out += '\0';
            break;
        case 'x':
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

void writeAll(int fd, const std::string &bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            std::exit(3);
        done += static_cast<std::size_t>(n);
    }
}

// Waits until the reader has emptied the pipe, so that what was written
// arrives as one read of its own.
void drain(int fd)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    int pending = 0;
    while (::ioctl(fd, FIONREAD, &pending) == 0 && pending > 0 &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

bool stdinIsNull()
{
    struct stat in
    {};
    struct stat null
    {};
    return ::fstat(0, &in) == 0 && ::stat("/dev/null", &null) == 0 && S_ISCHR(in.st_mode) &&
           in.st_rdev == null.st_rdev;
}

void probe(const std::string &file, const std::vector<std::string> &args)
{
    // Written aside and renamed, so a reader never sees half a probe.
    const std::string part = file + ".part";
    std::ofstream out(part);
    out << "pid=" << ::getpid() << '\n';
    out << "stdin_null=" << (stdinIsNull() ? 1 : 0) << '\n';
    errno = 0;
    out << "nice=" << ::getpriority(PRIO_PROCESS, 0) << '\n';
    char cwd[4096];
    out << "cwd=" << (::getcwd(cwd, sizeof cwd) ? cwd : "") << '\n';
    for (const std::string &arg : args)
        out << "arg=" << arg << '\n';
    out.close();
    std::rename(part.c_str(), file.c_str());
}

bool fileExists(const std::string &path)
{
    struct stat st
    {};
    return ::stat(path.c_str(), &st) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string script;
    if (args.size() >= 2 && args[0] == "--script")
        script = args[1];
    else if (const char *env = std::getenv("VIDLARK_FAKE_CONVERTER_SCRIPT"))
        script = env;

    std::string output;
    if (args.size() >= 3 && args[0] == "-i") {
        output = args.back();
        if (!fileExists(args[1])) {
            writeAll(2, args[1] + ": No such file or directory\n");
            return 1;
        }
        if (fileExists(output)) {
            writeAll(2, "File '" + output + "' already exists. Overwrite? [y/N] ");
            std::string answer;
            if (!std::getline(std::cin, answer) || answer != "y") {
                writeAll(2, "Not overwriting - exiting\n");
                return 1;
            }
        }
    }

    std::ifstream in(script);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t space = line.find(' ');
        const std::string command = line.substr(0, space);
        const std::string rest =
            space == std::string::npos ? std::string() : line.substr(space + 1);
        if (command == "print") {
            writeAll(1, unescape(rest));
            drain(1);
        } else if (command == "eprint") {
            writeAll(2, unescape(rest));
            drain(2);
        } else if (command == "write") {
            writeAll(1, unescape(rest));
        } else if (command == "sleep") {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(rest)));
        } else if (command == "output") {
            std::ofstream(output, std::ios::binary) << unescape(rest);
        } else if (command == "probe") {
            probe(rest, args);
        } else if (command == "hang") {
            std::signal(SIGTERM, SIG_IGN);
            std::this_thread::sleep_for(std::chrono::seconds(60));
        } else if (command == "exit") {
            return std::stoi(rest);
        }
    }
    return 0;
}
