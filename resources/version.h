#pragma once
// The program's version record, the one place that holds it. The resource
// compiler only has the preprocessor, hence #define. The texts are UTF-8.

#define VELMORA_VERSION_MAJOR 1
#define VELMORA_VERSION_MINOR 0
#define VELMORA_VERSION_PATCH 0
#define VELMORA_VERSION_BUILD 0
#define VELMORA_VERSION_TEXT "1.0.0.0"

#define VELMORA_COMPANY_NAME "Velmora"
#define VELMORA_FILE_DESCRIPTION "Velmora"
#define VELMORA_PRODUCT_NAME "Velmora"
#define VELMORA_INTERNAL_NAME "Velmora"
#define VELMORA_ORIGINAL_FILENAME "Velmora.exe"
#define VELMORA_COPYRIGHT "Copyright © Velmora"
#define VELMORA_COMMENTS "论文检测服务启动器"
