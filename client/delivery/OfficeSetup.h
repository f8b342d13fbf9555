#pragma once

class QString;
class RunContext;

// A run nobody watches: a document no one saved is kept in `copy`, and the
// report's line says so.
void NoteKeptDocument(RunContext& ctx, const QString& copy);

// Puts the office programs of this platform (the stand-ins) behind the
// desktop automation and makes that the context's automation. Called once
// when a run's services are made, with or without windows.
void InstallOfficeStandIns(RunContext& ctx);
