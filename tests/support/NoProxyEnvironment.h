#pragma once

#include <cstdlib>
#include <initializer_list>

// Tests talk to 127.0.0.1 directly whatever proxy the machine has configured.
inline void clearProxyEnvironment()
{
    for (const char *name :
         {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
        ::unsetenv(name);
}
