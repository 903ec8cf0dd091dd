// The dispatch identifiers of the members of the two public interfaces, shared by the
// type library (quillary3.idl includes this file) and the server. Chosen once: hosts are
// compiled against them, so they never change.
#pragma once

#define QUILLARY_DISPID_EXCELAPP 1
#define QUILLARY_DISPID_QUILLARYDLL 2
#define QUILLARY_DISPID_QUILLARYQUERYFORMDLL 2
