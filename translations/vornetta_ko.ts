<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ko" sourcelanguage="en">
<context>
    <name>FailureReason</name>
    <message>
        <source>not a HEIC file or damaged</source>
        <translation>HEIC 파일이 아니거나 손상됨</translation>
    </message>
    <message>
        <source>damaged JPEG file</source>
        <translation>손상된 JPEG 파일</translation>
    </message>
    <message>
        <source>damaged PNG file</source>
        <translation>손상된 PNG 파일</translation>
    </message>
    <message>
        <source>picture larger than %1 pixels</source>
        <translation>이미지가 %1픽셀보다 큼</translation>
    </message>
    <message>
        <source>1 tile could not be decoded</source>
        <translation>타일 1개를 디코딩할 수 없음</translation>
    </message>
    <message>
        <source>%1 tiles could not be decoded</source>
        <translation>타일 %1개를 디코딩할 수 없음</translation>
    </message>
    <message>
        <source>cannot read the picture&apos;s orientation</source>
        <translation>이미지 방향을 읽을 수 없음</translation>
    </message>
    <message>
        <source>more than %1 pictures</source>
        <translation>이미지가 %1개를 넘음</translation>
    </message>
    <message>
        <source>not enough memory</source>
        <translation>메모리 부족</translation>
    </message>
    <message>
        <source>took too long</source>
        <translation>시간 초과</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>중지됨</translation>
    </message>
    <message>
        <source>cannot read the file</source>
        <translation>파일을 읽을 수 없음</translation>
    </message>
    <message>
        <source>not a file</source>
        <translation>파일이 아님</translation>
    </message>
    <message>
        <source>not enough disk space</source>
        <translation>디스크 공간 부족</translation>
    </message>
    <message>
        <source>cannot write to the output folder</source>
        <translation>출력 폴더에 쓸 수 없음</translation>
    </message>
    <message>
        <source>cannot write %1 files</source>
        <translation>%1 파일을 쓸 수 없음</translation>
    </message>
    <message>
        <source>the splitter could not be started</source>
        <translation>분할 도구를 시작할 수 없음</translation>
    </message>
    <message>
        <source>the splitter took too long</source>
        <translation>분할 도구 시간 초과</translation>
    </message>
    <message>
        <source>the splitter crashed</source>
        <translation>분할 도구가 비정상 종료됨</translation>
    </message>
    <message>
        <source>the splitter could not list the pictures</source>
        <translation>분할 도구가 이미지를 나열하지 못함</translation>
    </message>
    <message>
        <source>the splitter listed the pictures wrongly</source>
        <translation>분할 도구의 이미지 목록이 잘못됨</translation>
    </message>
    <message>
        <source>the tile decoder could not be started</source>
        <translation>타일 디코더를 시작할 수 없음</translation>
    </message>
    <message>
        <source>the picture reader could not be started</source>
        <translation>이미지 리더를 시작할 수 없음</translation>
    </message>
    <message>
        <source>the picture reader took too long</source>
        <translation>이미지 리더 시간 초과</translation>
    </message>
    <message>
        <source>the picture reader crashed</source>
        <translation>이미지 리더가 비정상 종료됨</translation>
    </message>
    <message>
        <source>the picture reader failed</source>
        <translation>이미지 리더 오류</translation>
    </message>
    <message>
        <source>cannot read the picture reader&apos;s output</source>
        <translation>이미지 리더의 출력을 읽을 수 없음</translation>
    </message>
    <message>
        <source>cannot read the stitched picture</source>
        <translation>결합된 이미지를 읽을 수 없음</translation>
    </message>
    <message>
        <source>cannot create the work folder</source>
        <translation>작업 폴더를 만들 수 없음</translation>
    </message>
    <message>
        <source>cannot write the work folder</source>
        <translation>작업 폴더에 쓸 수 없음</translation>
    </message>
    <message>
        <source>cannot empty the work folder</source>
        <translation>작업 폴더를 비울 수 없음</translation>
    </message>
    <message>
        <source>cannot lock the work folder</source>
        <translation>작업 폴더를 잠글 수 없음</translation>
    </message>
    <message>
        <source>cannot make the work folder private</source>
        <translation>작업 폴더를 비공개로 만들 수 없음</translation>
    </message>
    <message>
        <source>the work folder is a link</source>
        <translation>작업 폴더가 링크임</translation>
    </message>
    <message>
        <source>the work folder is not a folder</source>
        <translation>작업 폴더가 폴더가 아님</translation>
    </message>
    <message>
        <source>the work folder belongs to another user</source>
        <translation>작업 폴더가 다른 사용자 소유임</translation>
    </message>
    <message>
        <source>picture kind not supported: %1</source>
        <translation>지원하지 않는 그림 종류: %1</translation>
    </message>
</context>
<context>
    <name>HEICMainWidget</name>
    <message>
        <source>Ver: %1</source>
        <translation>버전 %1</translation>
    </message>
    <message>
        <source>Drop HEIC files to here</source>
        <translation>HEIC 파일을 여기에 끌어다 놓으세요</translation>
    </message>
    <message>
        <source>Add HEIC</source>
        <translation>HEIC 추가</translation>
    </message>
    <message>
        <source>Save to %1</source>
        <translation>%1로 저장</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>중지</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>형식:</translation>
    </message>
    <message>
        <source>JPG</source>
        <translation>JPG</translation>
    </message>
    <message>
        <source>PNG</source>
        <translation>PNG</translation>
    </message>
    <message>
        <source>BMP</source>
        <translation>BMP</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>도움말</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>지원</translation>
    </message>
    <message>
        <source>Homepage</source>
        <translation>홈페이지</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>업데이트 확인</translation>
    </message>
    <message>
        <source>JPG quality</source>
        <translation>JPG 품질</translation>
    </message>
    <message>
        <source>Standard (75)</source>
        <translation>표준 (75)</translation>
    </message>
    <message>
        <source>High (90)</source>
        <translation>높음 (90)</translation>
    </message>
    <message>
        <source>Best (95)</source>
        <translation>최고 (95)</translation>
    </message>
    <message>
        <source>Remove All</source>
        <translation>모두 제거</translation>
    </message>
    <message>
        <source>File</source>
        <translation>파일</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>상태</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>파일 열기</translation>
    </message>
    <message>
        <source>Media</source>
        <translation>미디어</translation>
    </message>
    <message>
        <source>Not added to the list:</source>
        <translation>목록에 추가되지 않음:</translation>
    </message>
    <message>
        <source>not a .heic file</source>
        <translation>.heic 파일이 아님</translation>
    </message>
    <message>
        <source>not found</source>
        <translation>찾을 수 없음</translation>
    </message>
    <message>
        <source>not a file</source>
        <translation>파일이 아님</translation>
    </message>
    <message>
        <source>the file name is not valid UTF-8</source>
        <translation>파일 이름이 올바른 UTF-8이 아님</translation>
    </message>
    <message>
        <source>no .heic, .heif or .hif file in it</source>
        <translation>.heic, .heif, .hif 파일 없음</translation>
    </message>
    <message>
        <source>more than %1 files, the rest left out</source>
        <translation>%1개 초과, 나머지는 제외됨</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>외 %1개</translation>
    </message>
    <message>
        <source>Open Directory</source>
        <translation>폴더 선택</translation>
    </message>
    <message>
        <source>waiting</source>
        <translation>대기 중</translation>
    </message>
    <message>
        <source>converting</source>
        <translation>변환 중</translation>
    </message>
    <message>
        <source>success</source>
        <translation>완료</translation>
    </message>
    <message>
        <source>failed: %1</source>
        <translation>실패: %1</translation>
    </message>
    <message>
        <source>Converting %1 of %2: </source>
        <translation>변환 중 %1/%2: </translation>
    </message>
    <message>
        <source>Do you want open the output folder? </source>
        <translation>출력 폴더를 여시겠습니까?</translation>
    </message>
    <message>
        <source>%1 of %2 files could not be converted.</source>
        <translation>파일 %2개 중 %1개를 변환하지 못했습니다.</translation>
    </message>
    <message>
        <source>No file could be converted.</source>
        <translation>변환된 파일이 없습니다.</translation>
    </message>
    <message>
        <source>The output folder could not be opened:</source>
        <translation>출력 폴더를 열 수 없습니다:</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>메뉴</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>닫기</translation>
    </message>
    <message>
        <source>Minimise</source>
        <translation>최소화</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>파일 목록</translation>
    </message>
</context>
<context>
    <name>MyMessageBoxWidget</name>
    <message>
        <source>Close</source>
        <translation>닫기</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>확인</translation>
    </message>
    <message>
        <source>NO</source>
        <translation>아니요</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>예</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>취소</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>다운로드</translation>
    </message>
</context>
<context>
    <name>UpdateWidget</name>
    <message>
        <source>Close</source>
        <translation>닫기</translation>
    </message>
    <message>
        <source>Checking for updates</source>
        <translation>업데이트 확인 중</translation>
    </message>
    <message>
        <source>A new version is available for %1</source>
        <translation>%1의 새 버전이 있습니다</translation>
    </message>
    <message>
        <source>Unable to check for updates. Please try again later.</source>
        <translation>업데이트를 확인하지 못했습니다. 나중에 다시 시도하세요.</translation>
    </message>
    <message>
        <source>The current version is the latest version</source>
        <translation>최신 버전을 사용 중입니다</translation>
    </message>
    <message>
        <source>Update Now</source>
        <translation>지금 업데이트</translation>
    </message>
    <message>
        <source>Remind me Later</source>
        <translation>나중에 알림</translation>
    </message>
</context>
</TS>
