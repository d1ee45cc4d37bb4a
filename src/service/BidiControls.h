#pragma once

// Unicode's bidirectional formatting characters: the marks (ALM, LRM, RLM),
// embeddings, overrides and isolates. Invisible, they make a text show in
// another order than the one it is stored in ("Invoice \u202Efdp.exe" shows
// as "Invoice exe.pdf").
constexpr bool IsBidiControl(char16_t c)
{
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}
