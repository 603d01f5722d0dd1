// Public: keys of the configuration map given to ISystemNotifyToast::init.
#pragma once

#define TOAST_CONFIG_APP_USER_MODEL_ID "appUserModeId"
#define TOAST_CONFIG_START_MENU_LNK_PATH "startMenuLnkPath"
#define TOAST_CONFIG_APP_NAME "appName"
#define TOAST_CONFIG_RCC_SOURCES "rccSources"
