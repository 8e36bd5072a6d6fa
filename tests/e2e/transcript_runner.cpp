// SPDX-License-Identifier: MIT
#include "transcript_runner.h"

#include <sstream>

#include <fcntl.h>

#include "../support/child_process.h"

namespace e2e {

using testsupport::TFd;

TRunResult RunProgram(const std::string& binary, const TRunSetup& setup) {
    const int limitMs = setup.TimeoutSeconds * 1000;
    TFd input;
    TFd inputWriter;
    switch (setup.InputKind) {
    case TInputKind::File: input = testsupport::TemporaryFile(setup.Input); break;
    case TInputKind::Pipe: {
        testsupport::TPipe pipe;
        input = std::move(pipe.Read);
        inputWriter = std::move(pipe.Write);
        break;
    }
    case TInputKind::Closed: break;
    case TInputKind::Directory: input.Reset(open("/", O_RDONLY | O_DIRECTORY)); break;
    }

    TFd output; // the child's end, unless it is outputFile itself
    TFd outputReader;
    TFd outputFile; // read back after the run
    switch (setup.OutputKind) {
    case TOutputKind::File: outputFile = testsupport::TemporaryFile(); break;
    case TOutputKind::ReadOnlyFile:
        outputFile = testsupport::TemporaryFile();
        output = testsupport::Reopen(outputFile, O_RDONLY);
        break;
    case TOutputKind::Pipe:
    case TOutputKind::ReaderLeavesAfterFirstBlock:
    case TOutputKind::BrokenPipe: {
        testsupport::TPipe pipe;
        output = std::move(pipe.Write);
        if (setup.OutputKind != TOutputKind::BrokenPipe) {
            outputReader = std::move(pipe.Read);
        }
        break;
    }
    case TOutputKind::Closed: break;
    case TOutputKind::Full: output.Reset(open("/dev/full", O_WRONLY)); break;
    case TOutputKind::NullDevice: output.Reset(open("/dev/null", O_WRONLY)); break;
    }
    const TFd errors = testsupport::TemporaryFile();

    std::vector<std::string> argv = setup.Launcher;
    argv.push_back(setup.Launcher.empty() ? setup.Argv0.value_or(binary) : binary);
    argv.insert(argv.end(), setup.Arguments.begin(), setup.Arguments.end());
    // An unset descriptor is -1, which the child sees as closed.
    testsupport::TChild child(
        {input.Get(), output.Get() >= 0 ? output.Get() : outputFile.Get(),
         setup.ErrorsClosed ? testsupport::Closed : errors.Get(), setup.InChild},
        setup.HostProgram ? testsupport::ExecHost(setup.Launcher.empty() ? binary : argv[0], argv)
                          : testsupport::Exec(setup.Launcher.empty() ? binary : argv[0], argv));
    if (setup.AfterStart) {
        setup.AfterStart(child.Pid());
    }
    input.Reset();
    output.Reset();

    TRunResult result;
    if (inputWriter.Get() >= 0) {
        testsupport::WriteAll(inputWriter.Get(), setup.Input);
        if (setup.OutputKind == TOutputKind::ReaderLeavesAfterFirstBlock) {
            // Every later write of the program meets a pipe without a reader.
            result.Output =
                testsupport::ReadUntil(outputReader.Get(), {}, limitMs, setup.ReaderTakes);
            outputReader.Reset();
            testsupport::WriteAll(inputWriter.Get(), setup.InputAfterFirstBlock);
        }
        inputWriter.Reset();
    }
    if (outputReader.Get() >= 0) {
        result.Output = testsupport::ReadUntil(outputReader.Get(), {}, limitMs);
    }
    const testsupport::TExit exit = child.Wait(limitMs);
    result.TimedOut = exit.TimedOut;
    result.ExitCode = exit.ExitCode();
    result.Signal = exit.Signal();
    if (outputFile.Get() >= 0) {
        result.Output = testsupport::ReadAll(outputFile.Get());
    }
    result.Errors = testsupport::ReadAll(errors.Get());
    return result;
}

std::vector<std::string> LauncherWords(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string word; std::getline(in, word, '|');) {
        if (!word.empty()) words.push_back(word);
    }
    return words;
}

bool ApplyHandles(const std::string& handles, TRunSetup& setup) {
    std::istringstream lines(handles);
    bool known = true;
    for (std::string line; std::getline(lines, line);) {
        if (line == "stdin=pipe")
            setup.InputKind = TInputKind::Pipe;
        else if (line == "stdin=closed")
            setup.InputKind = TInputKind::Closed;
        else if (line == "stdin=directory")
            setup.InputKind = TInputKind::Directory;
        else if (line == "stdout=pipe")
            setup.OutputKind = TOutputKind::Pipe;
        else if (line == "stdout=closed")
            setup.OutputKind = TOutputKind::Closed;
        else if (line == "stdout=full")
            setup.OutputKind = TOutputKind::Full;
        else if (line == "stdout=broken-pipe")
            setup.OutputKind = TOutputKind::BrokenPipe;
        else if (!line.empty() && line != "stdin=file" && line != "stdout=file")
            known = false;
    }
    return known;
}

} // namespace e2e
