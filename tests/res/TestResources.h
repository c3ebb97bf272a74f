// Numbers of the resources that only the tests use.
#pragma once

#define IDS_TEST_TIP 60001
#define IDS_TEST_LONG_TIP 60002  // 200 letters, a to z repeated
#define IDR_TEST_FLAT_MENU 60003  // one plain item, no popup
