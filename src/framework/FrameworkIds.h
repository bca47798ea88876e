/* Ids that the framework itself gives a meaning to: its commands, strings and
   control-bar windows. Plain #defines, because the resource script uses them too. */
#pragma once

#define ID_FILE_NEW 57600
#define ID_FILE_OPEN 57601
#define ID_FILE_SAVE 57603
#define ID_FILE_MRU_FIRST 57616
#define ID_FILE_MRU_LAST 57631
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_PASTE 57637
#define ID_EDIT_UNDO 57643
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665
#define ID_NEXT_PANE 57680
#define ID_PREV_PANE 57681

#define ID_INDICATOR_CAPS 59137
#define ID_INDICATOR_NUM 59138
#define ID_INDICATOR_SCRL 59139

#define ID_VIEW_TOOLBAR 59392
#define ID_VIEW_STATUS_BAR 59393
#define IDW_TOOLBAR 59392
#define IDW_STATUS_BAR 59393
#define IDW_PANE_FIRST 59648

#define IDS_APP_TITLE 57344
#define IDS_IDLE_MESSAGE 57345
#define IDS_OPEN_FILE_TITLE 61440
#define IDS_ALL_FILES_FILTER 61442
#define IDS_UNTITLED 61443
#define IDP_UNREGISTER_DONE 61707
#define IDP_UNREGISTER_FAILED 61708

/* The file-error texts, one per cause; %1 stands for the file's full path. */
#define IDP_FILE_GENERIC 61720
#define IDP_FILE_NOT_FOUND 61721
#define IDP_FILE_BAD_PATH 61722
#define IDP_FILE_TOO_MANY_OPEN 61723
#define IDP_FILE_ACCESS_DENIED 61724
#define IDP_FILE_INVALID_FILE 61725
#define IDP_FILE_DIRECTORY_FULL 61726
#define IDP_FILE_HARD_IO 61727
#define IDP_FILE_SHARING 61728
#define IDP_FILE_DISK_FULL 61729
#define IDP_OUT_OF_MEMORY 61740
#define IDP_UNEXPECTED_ERROR 61741
