#pragma once
// The terminal paths' results on their way to the server, and their messages. Each line goes
// through the session's Execute, one line a call, replies ignored; each message through the
// application object.

#include "cards/CardLines.h"
#include "cards/EgkFiles.h"

#include <cstddef>
#include <cstdint>

class CSession;

namespace vorlan {

void SendCardKind(CSession& session, const char* kind);
// Walks a READ BINARY answer of the memory card and sends each field as it comes.
void SendKvkFields(CSession& session, const uint8_t* answer, size_t length);
void SendCardPort(CSession& session, int port);

// Writes the compressed documents to C:\TEMP, unpacks them with zlibwapi.dll and sends them
// to ^TEMPEGK piece by piece. Two sessions on one machine take turns: the files are shared.
// A missing library shows its message and sends nothing to ^TEMPEGK.
void DeliverEgkDocuments(CSession& session, const EgkDocuments& documents);

// An OK box; the questions of the organiser terminal answer IDOK or IDCANCEL.
void ShowCardMessage(CardMessage message);
int AskCardQuestion(CardMessage message);

} // namespace vorlan
