#pragma once

class RunContext;

// Puts the office programs of this platform (the stand-ins) behind the
// desktop automation and makes that the context's automation. Called once
// when a run's services are made, with or without windows.
void InstallOfficeStandIns(RunContext& ctx);
