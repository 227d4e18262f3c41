#pragma once

#include <QByteArray>

namespace tavrel::localservice {

class LocalService;

// Drives a running service from another process (a benchmark, a script): one command per line, the
// answer's lines after it and a line holding "." at its end. Commands:
//   token | refresh-token                  tokens of the owner
//   journal | clear-journal                "METHOD STATUS BYTES TARGET" per request received so far
//   ids | changestamp                      resource ids; the largest changestamp
//   acl ID                                 "owner ADDRESS", then "ROLE[+ROLE] SCOPE VALUE" per entry
//   document ID                            its title, then its parent folders, a line each
//   add TITLE | rename ID TITLE | trash ID | delete ID | share ID ADDRESS ROLE
//                                          changes "by someone else", as LocalService makes them
//   hang PATTERN | clear-faults            hold every request whose path matches until cleared
//   revoke-tokens                          every token stops working; refreshes get "invalid_grant"
// An unknown or malformed command answers "error ..." and changes nothing.
class ServiceConsole
{
public:
    explicit ServiceConsole(LocalService& service) : m_service(service) {}

    QByteArray answer(const QByteArray& command);

private:
    LocalService& m_service;
};

} // namespace tavrel::localservice
