# bash completion for lumaquill-cli: subcommands, their options, and image
# files for the options and arguments that take an image.

_lumaquill_cli()
{
    local cur prev words cword
    _init_completion || return

    # Pictures lumaquill-cli reads as containers, and the lossless ones it
    # writes and decodes.
    local readable='png|bmp|webp|jpg|jpeg|jpe|heic|heif|avif'
    local lossless='png|bmp|webp'

    if ((cword == 1)); then
        COMPREPLY=($(compgen -W 'encode decode info help --help --version' -- "$cur"))
        return
    fi

    local command=${words[1]}
    # The three values of --quiz QUESTION HINT ANSWER are free text.
    if [[ ${words[cword - 2]} == --quiz || ${words[cword - 3]} == --quiz ]]; then
        return
    fi

    local options
    case $command in
        encode)
            options='--out --container --noise --shrink --text --text-file --file'
            options+=' --password --password-stdin --quiz --seal --stealth --speed --force --help'
            ;;
        decode)
            options='--password --password-stdin --answer --out --out-dir --force --help'
            ;;
        info)
            options='--json --help'
            ;;
        *)
            return
            ;;
    esac

    # An option value only after an option of this command.
    if [[ " $options " == *" $prev "* ]]; then
        case $prev in
            --container)
                _filedir "@($readable)"
                return
                ;;
            --out)
                if [[ $command == encode ]]; then
                    _filedir "@($lossless)"
                else
                    _filedir
                fi
                return
                ;;
            --text-file | --file)
                _filedir
                return
                ;;
            --out-dir)
                _filedir -d
                return
                ;;
            --speed)
                COMPREPLY=($(compgen -W '0 1 2 3 4' -- "$cur"))
                return
                ;;
            --text | --password | --answer | --quiz)
                return
                ;;
        esac
    fi

    if [[ $cur == -* || $command == encode ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    elif [[ $command == decode ]]; then
        # Only a lossless picture can carry hidden data.
        _filedir "@($lossless)"
    else
        _filedir "@($readable)"
    fi
} &&
    complete -F _lumaquill_cli lumaquill-cli
