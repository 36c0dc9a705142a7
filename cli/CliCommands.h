#pragma once

class CliSession;
struct CliArguments;

// The commands, one file each; every one returns the exit status.
int runList(CliSession& session, const CliArguments& arguments);
int runRead(CliSession& session, const CliArguments& arguments);
int runWrite(CliSession& session, const CliArguments& arguments);
int runDiff(CliSession& session, const CliArguments& arguments);
int runFilters(CliSession& session, const CliArguments& arguments);
int runTiming(CliSession& session, const CliArguments& arguments);
