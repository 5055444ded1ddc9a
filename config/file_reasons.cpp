#include "file_reasons.h"

#include <cerrno>
#include <system_error>

namespace zt40 {

namespace {

// Causes that read the same either way; empty for the others.
std::string commonReason(int error) {
    switch (error) {
        case EISDIR: return "es ist ein Verzeichnis, keine Datei";
        case ELOOP: return "zu viele verkettete symbolische Verknüpfungen";
        case ENAMETOOLONG: return "der Name ist zu lang";
        case ENOTDIR: return "ein Teil des Pfades ist kein Verzeichnis";
        default: return {};
    }
}

// The system's message (in the user's language where the system has it),
// with its number for anyone who looks it up.
std::string systemReason(int error) {
    return std::error_code(error, std::generic_category()).message() + " (Systemfehler Nr. " +
           std::to_string(error) + ")";
}

}  // namespace

std::string readFailureReason(int error) {
    switch (error) {
        case EACCES: case EPERM: return "keine Berechtigung zum Lesen";
        case EIO: return "Ein-/Ausgabefehler beim Lesen des Datenträgers";
        default: break;
    }
    const std::string common = commonReason(error);
    return common.empty() ? systemReason(error) : common;
}

std::string writeFailureReason(int error) {
    switch (error) {
        case ENOSPC: return "auf dem Datenträger ist kein Platz mehr frei";
        case EDQUOT: return "der Speicherplatz, der Ihnen auf dem Datenträger zusteht, ist verbraucht";
        case EFBIG: return "die Datei würde größer, als das System erlaubt";
        case EACCES: case EPERM: return "keine Berechtigung zum Schreiben";
        case EROFS: return "der Datenträger ist schreibgeschützt";
        case ENOENT: return "das Verzeichnis gibt es nicht";
        case EIO: return "Ein-/Ausgabefehler beim Schreiben auf den Datenträger";
        case EEXIST: return "kein freier Name für die Zwischendatei";
        default: break;
    }
    const std::string common = commonReason(error);
    return common.empty() ? systemReason(error) : common;
}

}  // namespace zt40
