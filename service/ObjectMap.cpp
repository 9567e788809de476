// The classes the module makes: the one service class.
#include "service/QZXMLSchemaService.h"

BEGIN_OBJECT_MAP(ObjectMap)
OBJECT_ENTRY(CLSID_QZXMLSchemaService, CQZXMLSchemaService)
END_OBJECT_MAP()
