#pragma once
// The style and the script of scenario-tool view's page, written inline into
// it.

extern const char* const view_style;
extern const char* const view_script;
