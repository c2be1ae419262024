#pragma once
// Variables the program sets in its own environment for the libraries it
// loads (the sound server's client library reads who is playing from there),
// and the environment as it was before, for the programs it starts: they are
// not Hauntwatch, and must not call themselves so to the sound server.
#include <string>
#include <vector>

namespace platform {

// Sets `name` for this process, remembering what it held before.  Only
// before any thread is started: the C library's environment has no lock.
void SetOwnVariable(const std::string& name, const std::string& value);

// "NAME=value" strings of the environment as it is now, with every variable
// set through SetOwnVariable put back as it was (or left out).
std::vector<std::string> EnvironmentForOthers();

}  // namespace platform
