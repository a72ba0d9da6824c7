#include "database/dataaccess/error.h"

namespace dataaccess {

// The platform reports its own errors as HRESULTs of the facility 0x800A, whose low word is the ADO error number.
static int adoHresult(int adoNumber) {
    return static_cast<int>(0x800A0000u | static_cast<unsigned>(adoNumber));
}

Error providerNotFoundError() {
    return {adoHresult(adoerror::kProviderNotFound), "Provider cannot be found. It may not be properly installed."};
}

Error objectClosedError() {
    return {adoHresult(adoerror::kObjectClosed), "Operation is not allowed when the object is closed."};
}

Error objectOpenError() {
    return {adoHresult(adoerror::kObjectOpen), "Operation is not allowed when the object is open."};
}

Error itemNotFoundError() {
    return {adoHresult(adoerror::kItemNotFound),
            "Item cannot be found in the collection corresponding to the requested name or ordinal."};
}

Error eofError() {
    return {adoHresult(adoerror::kEofOrBof), "Either BOF or EOF is True, or the current record has been deleted. "
                                             "Requested operation requires a current record."};
}

Error notCapableError() {
    return {adoHresult(adoerror::kNotCapable), "Object or provider is not capable of performing requested operation."};
}

} // namespace dataaccess
