#include "app/update_sequence.h"

#include "app/message_box.h"
#include "app/update_phases.h"
#include "app/update_run.h"

int run_update_sequence()
{
    using Phase = bool (*)();
    static const Phase phases[] = {
        reset_update_settings,
        read_update_ini,
        check_names,
        check_sources,
        read_installation_record,
        find_the_game,
        claim_the_game,
        recover_unfinished_update,
        check_destination,
        check_game_files,
        weigh_the_room,
        wait_for_held_files,
        confirm_destination,
        run_update,
    };
    for (Phase phase : phases)
        if (!phase())
            return phase == confirm_destination || phase == wait_for_held_files ? UPDATE_DONE : UPDATE_FAILED;

    show_information(L"アップデートは正常に終了しました。");
    return UPDATE_DONE;
}
